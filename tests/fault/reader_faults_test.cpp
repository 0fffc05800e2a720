// The whole-file reader's failures, each made to happen by the fault
// layer: the message it shows, and nothing left acquired.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dictionary_file.h"
#include "fault_injection.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

using fault::Fault;
using fault::Operation;

class ReaderFaults : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(path_, ToBytes("LBTG\x04...Pols"));
        fault::Reset();
    }
    void TearDown() override
    {
        fault::Reset();
        EXPECT_EQ(0, fault::OpenHandles());
        EXPECT_EQ(0, fault::LiveBlocks());
    }

    // Reads with the given fault armed; the messages shown.
    std::vector<ShownMessage> ReadWith(Operation operation, Fault kind, void *owner)
    {
        MessageCapture capture;
        fault::Arm(operation, 1, kind);
        WholeFile file = ReadWholeFile(owner, path_.string().c_str(), platform::FileMode::ReadWrite);
        EXPECT_TRUE(fault::Triggered());
        EXPECT_FALSE(file.IsRead());
        return capture.Messages();
    }

    TempDirectory folder_;
    std::filesystem::path path_ = folder_ / "Geodict.dct";
};

TEST_F(ReaderFaults, AFailedOpenShowsMessage20WithThePath)
{
    auto shown = ReadWith(Operation::Open, Fault::Fail, TestOwnerWindow());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Wystąpił błąd podczas próby otwarcia pliku \"" + path_.string() + "\".", shown[0].text);
    EXPECT_EQ(TestOwnerWindow(), shown[0].owner);
}

TEST_F(ReaderFaults, AnUnknownLengthShowsMessage22)
{
    auto shown = ReadWith(Operation::Length, Fault::Fail, TestOwnerWindow());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Błąd odczytu pliku \"" + path_.string() + "\".", shown[0].text);
}

TEST_F(ReaderFaults, NoMemoryShowsMessage21WithoutInsert)
{
    auto shown = ReadWith(Operation::Allocate, Fault::Fail, TestOwnerWindow());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Za mało pamięci do przeprowadzenia operacji.", shown[0].text);
    EXPECT_EQ("Instalacja RodOvodovidor", shown[0].caption);
}

TEST_F(ReaderFaults, AFailedReadShowsMessage22)
{
    auto shown = ReadWith(Operation::Read, Fault::Fail, TestOwnerWindow());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Błąd odczytu pliku \"" + path_.string() + "\".", shown[0].text);
}

TEST_F(ReaderFaults, ANullOwnerWindowKeepsEveryFailureSilent)
{
    for (Operation operation : {Operation::Open, Operation::Length, Operation::Allocate, Operation::Read})
        EXPECT_TRUE(ReadWith(operation, Fault::Fail, nullptr).empty());
}

TEST_F(ReaderFaults, AFileEndingBeforeItsLengthShowsMessage22)
{
    auto shown = ReadWith(Operation::Read, Fault::Short, TestOwnerWindow());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Błąd odczytu pliku \"" + path_.string() + "\".", shown[0].text);
}

TEST_F(ReaderFaults, AReadThatHandsOverLessIsContinued)
{
    fault::Arm(Operation::Read, 1, Fault::Partial);
    WholeFile file = ReadWholeFile(nullptr, path_.string().c_str(), platform::FileMode::ReadOnly);
    EXPECT_TRUE(fault::Triggered());
    ASSERT_TRUE(file.IsRead());
    EXPECT_EQ(ToBytes("LBTG\x04...Pols"), Bytes(file.begin(), file.end()));
}

}  // namespace
}  // namespace dorvan::test
