// Composing the dictionary path: separators, the empty directory, and
// paths too long for a path buffer.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dictionary_path.h"
#include "platform/file_access.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

const std::string Separator(1, platform::PathSeparator);

TEST(BuildDictionaryPath, AddsOneSeparatorOnlyWhereNoneEndsTheDirectory)
{
    std::string path;
    BuildDictionaryPath(path, "C:\\Mapy\\");
    EXPECT_EQ("C:\\Mapy\\Geodict.dct", path);
    BuildDictionaryPath(path, "C:/Mapy/");
    EXPECT_EQ("C:/Mapy/Geodict.dct", path);
    BuildDictionaryPath(path, "C:/Mapy/Dane");
    EXPECT_EQ("C:/Mapy/Dane" + Separator + "Geodict.dct", path);
    BuildDictionaryPath(path, "Dane");
    EXPECT_EQ("Dane" + Separator + "Geodict.dct", path);
}

TEST(BuildDictionaryPath, AnEmptyDirectoryMeansTheCurrentOne)
{
    std::string path;
    BuildDictionaryPath(path, "");
    EXPECT_EQ("Geodict.dct", path);
}

TEST(BuildDictionaryPath, AnswersWhetherTheDictionaryExists)
{
    TempDirectory folder;
    std::string path;
    EXPECT_EQ(0, BuildDictionaryPath(path, folder.Name().c_str()));
    EXPECT_EQ(folder.Name() + Separator + "Geodict.dct", path);
    WriteFileBytes(folder / "Geodict.dct", {});
    EXPECT_EQ(1, BuildDictionaryPath(path, folder.Name().c_str()));
    // The name keeps its exact letter case.
    EXPECT_EQ(0, BuildDictionaryPath(path, (folder / "geodict.dct").string().c_str()));
}

TEST(BuildDictionaryPath, APathTooLongForThePathBufferCountsAsMissing)
{
    TempDirectory folder;
    // A sub-folder whose name makes the dictionary path `length` characters
    // long, holding a dictionary.
    auto folderFor = [&](size_t length) {
        std::string name(length - folder.Name().size() - 2 * Separator.size() - 11, 'd');
        std::filesystem::create_directory(folder / name);
        WriteFileBytes(folder / name / "Geodict.dct", {});
        return (folder / name).string();
    };
    const std::string longest = folderFor(259), tooLong = folderFor(260);
    std::string path;
    EXPECT_EQ(1, BuildDictionaryPath(path, longest.c_str()));  // 259 characters and the terminator fit
    EXPECT_EQ(259u, path.size());
    EXPECT_EQ(0, BuildDictionaryPath(path, tooLong.c_str()));
    EXPECT_EQ(tooLong + Separator + "Geodict.dct", path);  // kept whole, for messages
    EXPECT_EQ(0, BuildDictionaryPath(path, std::string(4000, 'x').c_str()));
}

}  // namespace
}  // namespace dorvan::test
