// Composing the dictionary path: separators, the empty directory, and
// paths too long for a path buffer.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dictionary_paths.h"
#include "platform/file_access.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

const std::string Separator(1, platform::PathSeparator);

// A composed path as a message shows it: whole, even past the path buffer.
std::string Whole(const ComposedPath &path)
{
    std::string whole(ComposePathInto(nullptr, 0, path.directory, path.fileName), '\0');
    ComposePathInto(whole.data(), whole.size() + 1, path.directory, path.fileName);
    return whole;
}

TEST(BuildDictionaryPath, AddsOneSeparatorOnlyWhereNoneEndsTheDirectory)
{
    ComposedPath path;
    BuildDictionaryPath(path, "C:\\Mapy\\");
    EXPECT_EQ("C:\\Mapy\\Geodict.dct", Whole(path));
    BuildDictionaryPath(path, "C:/Mapy/");
    EXPECT_EQ("C:/Mapy/Geodict.dct", Whole(path));
    BuildDictionaryPath(path, "C:/Mapy/Dane");
    EXPECT_EQ("C:/Mapy/Dane" + Separator + "Geodict.dct", Whole(path));
    BuildDictionaryPath(path, "Dane");
    EXPECT_EQ("Dane" + Separator + "Geodict.dct", Whole(path));
}

TEST(BuildDictionaryPath, AnEmptyDirectoryMeansTheCurrentOne)
{
    ComposedPath path;
    BuildDictionaryPath(path, "");
    EXPECT_EQ("Geodict.dct", Whole(path));
}

TEST(BuildDictionaryPath, AnswersWhetherTheDictionaryExists)
{
    TempDirectory folder;
    const std::string directory = folder.Name();  // outlives the composed path
    ComposedPath path;
    EXPECT_FALSE(BuildDictionaryPath(path, directory.c_str()).Ok());
    EXPECT_EQ(folder.Name() + Separator + "Geodict.dct", Whole(path));
    WriteFileBytes(folder / "Geodict.dct", {});
    EXPECT_TRUE(BuildDictionaryPath(path, directory.c_str()).Ok());
    // The name keeps its exact letter case.
    EXPECT_FALSE(BuildDictionaryPath(path, (folder / "geodict.dct").string().c_str()).Ok());
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
    ComposedPath path;
    EXPECT_TRUE(BuildDictionaryPath(path, longest.c_str()).Ok());  // 259 characters and the terminator fit
    EXPECT_EQ(259u, Whole(path).size());
    EXPECT_FALSE(BuildDictionaryPath(path, tooLong.c_str()).Ok());
    EXPECT_EQ(tooLong + Separator + "Geodict.dct", Whole(path));  // kept whole, for messages
    EXPECT_FALSE(BuildDictionaryPath(path, std::string(4000, 'x').c_str()).Ok());
}

}  // namespace
}  // namespace dorvan::test
