// Reading a file whole: the handle kept open, empty files, and the
// messages shown only when an owner window is given.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dictionary/dictionary_file.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

TEST(ReadWholeFile, ReadsEveryByteAndKeepsTheHandleAtTheEnd)
{
    TempDirectory folder;
    Bytes content = ToBytes(std::string("a\r\nb\0\x1a\xff", 7));  // no newline or end-of-file translation
    WriteFileBytes(folder / "f.bin", content);
    WholeFile file = ReadWholeFile(nullptr, (folder / "f.bin").string().c_str(), platform::FileMode::ReadOnly);
    ASSERT_TRUE(file.IsRead());
    EXPECT_EQ(content, Bytes(file.begin(), file.end()));
    EXPECT_EQ(7, platform::FileSeek(file.handle.Get(), 0, platform::SeekOrigin::End));
}

TEST(ReadWholeFile, AnEmptyFileGivesAValidEmptyBlock)
{
    TempDirectory folder;
    WriteFileBytes(folder / "empty", {});
    WholeFile file = ReadWholeFile(nullptr, (folder / "empty").string().c_str(), platform::FileMode::ReadWrite);
    ASSERT_TRUE(file.IsRead());
    EXPECT_EQ(0, file.length);
    EXPECT_NE(nullptr, file.block.get());
}

TEST(ReadWholeFile, OpensNothingThatIsMissingAndCreatesNothing)
{
    TempDirectory folder;
    const std::string path = (folder / "missing.dct").string();
    MessageCapture capture;
    EXPECT_FALSE(ReadWholeFile(nullptr, path.c_str(), platform::FileMode::ReadWrite).IsRead());
    EXPECT_TRUE(capture.Messages().empty()) << "a null owner window keeps the reader silent";
    EXPECT_FALSE(ReadWholeFile(TestOwnerWindow(), path.c_str(), platform::FileMode::ReadOnly).IsRead());
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("Wystąpił błąd podczas próby otwarcia pliku \"" + path + "\".", capture.Messages()[0].text);
    EXPECT_EQ(TestOwnerWindow(), capture.Messages()[0].owner);
    EXPECT_TRUE(folder.Listing().empty());
}

TEST(ReadWholeFile, AReadOnlyFileIsReadInReadOnlyMode)
{
    TempDirectory folder;
    const std::filesystem::path path = folder / "ro.dct";
    WriteFileBytes(path, ToBytes("LBTG"));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_TRUE(ReadWholeFile(nullptr, path.string().c_str(), platform::FileMode::ReadOnly).IsRead());
}

}  // namespace
}  // namespace dorvan::test
