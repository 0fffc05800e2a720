// Files that change size behind the library's back while it reads them.
#include <gtest/gtest.h>

#include <filesystem>

#include "dorvan.h"
#include "fault_injection.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;
using fault::Operation;

class ChangingFile : public testing::Test {
protected:
    void SetUp() override
    {
        fault::Reset();
        content_ = Bytes(300000, '.');
        WriteFileBytes(path_, content_);
    }
    void TearDown() override
    {
        fault::Reset();
        EXPECT_EQ(0, fault::OpenHandles());
        EXPECT_EQ(0, fault::LiveBlocks());
    }

    TempDirectory folder_;
    const fs::path path_ = folder_ / "file.bin";
    Bytes content_;
};

TEST_F(ChangingFile, AFileCutShortBetweenChunksGivesMinusTwo)
{
    fault::Before(Operation::Read, 2, [&] { fs::resize_file(path_, 150000); });
    EXPECT_EQ(-2, FindStringInFile(path_.string().c_str(), "needle"));
}

TEST_F(ChangingFile, AFileThatGrowsIsSearchedOnlyToItsLengthAtOpen)
{
    fault::Before(Operation::Read, 1, [&] {
        Bytes grown = Concat({content_, ToBytes("needle")});
        WriteFileBytes(path_, grown);
    });
    EXPECT_EQ(-1, FindStringInFile(path_.string().c_str(), "needle"));
    EXPECT_EQ(300000, FindStringInFile(path_.string().c_str(), "needle"));
}

TEST_F(ChangingFile, ADictionaryCutShortWhileReadIsAReadFailure)
{
    WriteFileBytes(folder_ / "Geodict.dct", Bytes(5000, 'x'));
    fault::Before(Operation::Read, 1, [&] { fs::resize_file(folder_ / "Geodict.dct", 100); });
    EXPECT_EQ(-1, GeoDictFind(folder_.Name().c_str(), "x"));
}

}  // namespace
}  // namespace dorvan::test
