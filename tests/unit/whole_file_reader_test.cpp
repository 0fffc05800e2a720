// Reading a file whole: the handle kept open, empty files, and nothing
// opened or made that is missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dictionary/dictionary_file.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

TEST(ReadWholeFile, ReadsEveryByteAndKeepsTheHandleOpen)
{
    TempDirectory folder;
    Bytes content = ToBytes(std::string("a\r\nb\0\x1a\xff", 7));  // no newline or end-of-file translation
    WriteFileBytes(folder / "f.bin", content);
    WholeFile file;
    ASSERT_TRUE(ReadWholeFile((folder / "f.bin").string().c_str(), platform::FileMode::ReadOnly, FileRole::None, file).Ok());
    EXPECT_EQ(content, Bytes(file.begin(), file.end()));
    int64_t length = 0;
    EXPECT_TRUE(platform::FileLength(file.handle.Get(), &length).Ok());
    EXPECT_EQ(7, length);
}

TEST(ReadWholeFile, AnEmptyFileGivesAValidEmptyBlock)
{
    TempDirectory folder;
    WriteFileBytes(folder / "empty", {});
    WholeFile file;
    ASSERT_TRUE(ReadWholeFile((folder / "empty").string().c_str(), platform::FileMode::ReadWrite, FileRole::None, file).Ok());
    EXPECT_EQ(0, file.length);
    EXPECT_NE(nullptr, file.block.get());
}

TEST(ReadWholeFile, OpensNothingThatIsMissingAndCreatesNothing)
{
    TempDirectory folder;
    const std::string path = (folder / "missing.dct").string();
    for (platform::FileMode mode : {platform::FileMode::ReadWrite, platform::FileMode::ReadOnly}) {
        WholeFile file;
        const Status status = ReadWholeFile(path.c_str(), mode, FileRole::Entry, file);
        EXPECT_EQ(StatusCode::CannotOpen, status.code);
        EXPECT_EQ(FileRole::Entry, status.file);
        EXPECT_FALSE(file.handle.IsOpen());
    }
    EXPECT_TRUE(folder.Listing().empty());
}

TEST(ReadWholeFile, AReadOnlyFileIsReadInReadOnlyMode)
{
    TempDirectory folder;
    const std::filesystem::path path = folder / "ro.dct";
    WriteFileBytes(path, ToBytes("LBTG"));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    WholeFile file;
    EXPECT_TRUE(ReadWholeFile(path.string().c_str(), platform::FileMode::ReadOnly, FileRole::None, file).Ok());
}

}  // namespace
}  // namespace dorvan::test
