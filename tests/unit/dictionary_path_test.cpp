// Composing the dictionary path: separators, the empty directory, and
// paths too long for a path buffer.
#include <gtest/gtest.h>

#include <string>

#include "dictionary/dictionary_paths.h"
#include "edge/answers.h"
#include "platform/file_access.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

const std::string Separator(1, platform::PathSeparator);

// The dictionary path of `directory` as a message shows it: whole, even
// past the path buffer.
std::string Shown(const std::string &directory)
{
    platform::HeapBlock whole;
    char fitting[PathBufferSize];
    return StatusFileText(StatusOf(StatusCode::FileMissing, FileRole::Dictionary), {directory.c_str()}, whole,
                          fitting);
}

TEST(BuildDictionaryPath, AddsOneSeparatorOnlyWhereNoneEndsTheDirectory)
{
    ComposedPath path;
    BuildDictionaryPath(path, "C:\\Mapy\\");
    EXPECT_EQ("C:\\Mapy\\Geodict.dct", std::string(path.text));
    BuildDictionaryPath(path, "C:/Mapy/");
    EXPECT_EQ("C:/Mapy/Geodict.dct", std::string(path.text));
    BuildDictionaryPath(path, "C:/Mapy/Dane");
    EXPECT_EQ("C:/Mapy/Dane" + Separator + "Geodict.dct", std::string(path.text));
    BuildDictionaryPath(path, "Dane");
    EXPECT_EQ("Dane" + Separator + "Geodict.dct", std::string(path.text));
}

TEST(BuildDictionaryPath, AnEmptyDirectoryMeansTheCurrentOne)
{
    ComposedPath path;
    BuildDictionaryPath(path, "");
    EXPECT_EQ("Geodict.dct", std::string(path.text));
}

TEST(BuildDictionaryPath, AnswersWhetherTheDictionaryExists)
{
    TempDirectory folder;
    const std::string directory = folder.Name();  // outlives the composed path
    ComposedPath path;
    EXPECT_FALSE(BuildDictionaryPath(path, directory.c_str()).Ok());
    EXPECT_EQ(folder.Name() + Separator + "Geodict.dct", std::string(path.text));
    WriteFileBytes(folder / "Geodict.dct", {});
    EXPECT_TRUE(BuildDictionaryPath(path, directory.c_str()).Ok());
    // The name keeps its exact letter case.
    EXPECT_FALSE(BuildDictionaryPath(path, (folder / "geodict.dct").string().c_str()).Ok());
}

TEST(BuildDictionaryPath, APathTooLongForThePathBufferCountsAsMissing)
{
    TempDirectory folder;
#ifdef _WIN32
    // Windows counts UTF-16 units, whatever the letters take in UTF-8.
    const char *const letters[] = {"d", "\xc5\x82", "\xd0\x96"};  // d, ł, Ж
#else
    const char *const letters[] = {"d"};  // the portable build counts bytes
#endif
    for (const char *letter : letters) {
        // Sub-folders of the letter that make the dictionary path `length`
        // characters long, holding a dictionary; every hundredth character
        // a separator, as a file system limits each name.
        auto folderFor = [&](size_t length) {
            std::string name;
            for (size_t i = 0; i < length - folder.Name().size() - 2 * Separator.size() - 11; ++i)
                name += i % 100 == 99 ? Separator.c_str() : letter;
            const std::filesystem::path path = folder.Path() / std::filesystem::u8path(name);
            std::filesystem::create_directories(path);
            WriteFileBytes(path / "Geodict.dct", {});
            return path.u8string();
        };
        const std::string longest = folderFor(259), tooLong = folderFor(260);
        ComposedPath path;
        EXPECT_TRUE(BuildDictionaryPath(path, longest.c_str()).Ok()) << letter;  // 259 characters fit
        EXPECT_EQ(longest + Separator + "Geodict.dct", path.text) << letter;
        EXPECT_FALSE(BuildDictionaryPath(path, tooLong.c_str()).Ok()) << letter;
        EXPECT_EQ(tooLong + Separator + "Geodict.dct", Shown(tooLong)) << letter;  // whole in messages
    }
    ComposedPath path;
    EXPECT_FALSE(BuildDictionaryPath(path, std::string(4000, 'x').c_str()).Ok());
}

}  // namespace
}  // namespace dorvan::test
