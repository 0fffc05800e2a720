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
        MakeNumberedBackup(dictionary_.string().c_str(), content.data(), static_cast<int32_t>(content.size()));
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

TEST_F(NumberedBackup, APathWithoutADotMakesNoCopy)
{
    EXPECT_FALSE(
        MakeNumberedBackup((folder_ / "Geodict").string().c_str(), content_.data(), static_cast<int32_t>(content_.size()))
            .Ok());
    EXPECT_TRUE(folder_.Listing().empty());
}

TEST_F(NumberedBackup, ANameTooLongForThePathBufferMakesNoCopy)
{
    std::string name(259 - folder_.Name().size() - 1 - 4, 'g');
    std::filesystem::path longDictionary = folder_ / (name + ".dct");  // 259 characters: fits
    ASSERT_EQ(259u, longDictionary.string().size());
    EXPECT_TRUE(
        MakeNumberedBackup(longDictionary.string().c_str(), content_.data(), static_cast<int32_t>(content_.size())).Ok());
    EXPECT_TRUE(std::filesystem::exists(folder_ / (name + ".000")));
    std::string longer = name + "g";  // its copy would need 260 characters
    EXPECT_FALSE(MakeNumberedBackup((folder_ / (longer + ".dct")).string().c_str(), content_.data(),
                                    static_cast<int32_t>(content_.size()))
                     .Ok());
    EXPECT_FALSE(std::filesystem::exists(folder_ / (longer + ".000")));
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
