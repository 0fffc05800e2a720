// Numbered backup copies: the first free number, exact content, and
// never a copy written over.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dictionary/dictionary_paths.h"
#include "dictionary/numbered_copies.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

class NumberedBackup : public testing::Test {
protected:
    void Backup(const Bytes &content)
    {
        DictionaryFolder folder;
        ASSERT_TRUE(folder.folder.OpenFolder(folder_.Name().c_str()).Ok());
        MakeNumberedBackup(folder, content.data(), static_cast<int32_t>(content.size()));
    }

    TempDirectory folder_;
    std::filesystem::path dictionary_ = folder_ / "Geodict.dct";
    const Bytes content_ = ToBytes(std::string("LBTG\x03...abc\0\xff", 13));
};

TEST_F(NumberedBackup, TheFirstCopyIs000AndHoldsTheBlock)
{
    Backup(content_);
    EXPECT_EQ(std::vector<std::string>{"Geodict.000"}, folder_.Listing());
    EXPECT_EQ(content_, ReadFileBytes(folder_ / "Geodict.000"));
}

TEST_F(NumberedBackup, CopiesAfterTheHighestOfAnUnbrokenRun)
{
    for (const char *name : {"Geodict.000", "Geodict.001", "Geodict.002"})
        WriteFileBytes(folder_ / name, ToBytes(name));
    Backup(content_);
    EXPECT_EQ(content_, ReadFileBytes(folder_ / "Geodict.003"));
    EXPECT_EQ(ToBytes("Geodict.001"), ReadFileBytes(folder_ / "Geodict.001"));
}

TEST_F(NumberedBackup, TakesTheFirstFreeNumberEvenBelowAnExistingCopy)
{
    WriteFileBytes(folder_ / "Geodict.001", ToBytes("older"));
    Backup(content_);
    EXPECT_EQ(content_, ReadFileBytes(folder_ / "Geodict.000"));
    EXPECT_EQ(ToBytes("older"), ReadFileBytes(folder_ / "Geodict.001"));
}

TEST_F(NumberedBackup, GoesOnToFourDigitsAfter999)
{
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Geodict.%03d", i);
        WriteFileBytes(folder_ / name, {});
    }
    Backup(content_);
    EXPECT_EQ(content_, ReadFileBytes(folder_ / "Geodict.1000"));
}

TEST_F(NumberedBackup, AnEmptyDictionaryGivesAnEmptyCopy)
{
    Backup({});
    EXPECT_TRUE(std::filesystem::exists(folder_ / "Geodict.000"));
    EXPECT_EQ(0u, std::filesystem::file_size(folder_ / "Geodict.000"));
}

TEST_F(NumberedBackup, ANameWithoutADotOrTooLongForThePathBufferNamesNoCopy)
{
    char name[PathBufferSize];
    EXPECT_FALSE(NumberedCopyName("Geodict", 0, name));
    const std::string fits(platform::PathLengthLimit - 4, 'g'), longer = fits + "g";  // with ".000", 259
    EXPECT_TRUE(NumberedCopyName((fits + ".dct").c_str(), 0, name));
    EXPECT_EQ(fits + ".000", name);
    EXPECT_FALSE(NumberedCopyName((longer + ".dct").c_str(), 0, name));
}

#ifndef _WIN32
TEST_F(NumberedBackup, NeverFollowsALinkPlantedUnderAFreeName)
{
    const std::filesystem::path target = folder_ / "elsewhere";
    std::filesystem::create_symlink(target, folder_ / "Geodict.000");
    Backup(content_);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(content_, ReadFileBytes(folder_ / "Geodict.001"));
}
#endif

}  // namespace
}  // namespace dorvan::test
