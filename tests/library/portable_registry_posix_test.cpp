// The portable build's folder registry as SetInstallDir meets it: letter
// case, keys that cannot be made, records kept across processes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"
#include "test_registry.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

TEST(PortableRegistry, WithoutARegistryTheHostCountsAsMissing)
{
    { TestRegistry gone; }  // leaves a root that holds nothing
    MessageCapture capture;
    char target[260] = "untouched";
    EXPECT_EQ(0, Library().SetInstallDir(nullptr, "", "", target, ""));
    EXPECT_STREQ("untouched", target);
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ(0x10u, capture.Messages()[0].style);
}

TEST(PortableRegistry, KeyNamesMatchWithoutRegardToLetterCase)
{
    TestRegistry registry;
    registry.SetString("Software\\Microsoft\\DATAMAP\\directories", "mapdata", "/srv/mapy");
    char target[260] = {};
    EXPECT_EQ(1, Library().SetInstallDir(nullptr, "", "", target, ""));
    EXPECT_STREQ("/srv/mapy", target);
}

TEST(PortableRegistry, AKeyThatCannotBeMadeFailsWithMessage24)
{
    TestRegistry registry;
    // A file where the folder of "Map" would go.
    WriteFileBytes(registry.FolderOfKey("Software\\Microsoft\\Shared Tools") / "Map", ToBytes("not a key"));
    MessageCapture capture;
    char target[260] = "untouched";
    EXPECT_EQ(0, Library().SetInstallDir(nullptr, "", "", target, ""));
    EXPECT_STREQ("untouched", target);
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("Błąd podczas odczytu rejestrów systemu.", capture.Messages()[0].text);
}

TEST(PortableRegistry, ARecordStoredByOneProcessAnswersTheNext)
{
    TestRegistry registry;
    TempDirectory commonFiles;
    const fs::path data = PlaceHostUnderCommonFiles(registry, commonFiles, {});

    pid_t child = fork();
    if (child == 0) {
        char target[260] = {};
        _exit(Library().SetInstallDir(nullptr, "", "", target, "") == 1 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    fs::remove(data / "Geodict.dct");
    char target[260] = {};
    EXPECT_EQ(1, Library().SetInstallDir(nullptr, "", "", target, ""));
    EXPECT_EQ((data.string() + "/"), target);
    // Stored by replacing the values file whole: nothing is left beside it.
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(registry.FolderOfKey("Software\\Microsoft\\Shared Tools\\Map\\Directories")))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(std::vector<std::string>{"values.reg"}, names);
}

// Values files and key folders that are not what they seem: nothing waits,
// nothing is read without limit, and nothing outside the registry's root
// is read or written. Each case leaves the host's first record unusable,
// so the fallback finds the host and stores its record.
TEST(PortableRegistry, HostileValuesFilesAndLinksNeitherWaitNorLeadOutside)
{
    const char DataMapKey[] = "Software\\Microsoft\\DataMap\\Directories";
    const char MapKey[] = "Software\\Microsoft\\Shared Tools\\Map\\Directories";
    TempDirectory outside;
    WriteFileBytes(outside / "values.reg", ToBytes("\"MapData\"=sz:\"/elsewhere\"\n"));
    const Bytes outsideBefore = ReadFileBytes(outside / "values.reg");

    struct Case {
        const char *name;
        std::function<void(TestRegistry &)> arrange;
    };
    const Case cases[] = {
        {"a FIFO as values file",
         [&](TestRegistry &r) {
             r.CreateKey(DataMapKey);
             ASSERT_EQ(0, mkfifo((r.FolderOfKey(DataMapKey) / "values.reg").c_str(), 0600));
         }},
        {"a link to an endless device as values file",
         [&](TestRegistry &r) {
             r.CreateKey(DataMapKey);
             fs::create_symlink("/dev/zero", r.FolderOfKey(DataMapKey) / "values.reg");
         }},
        {"a link to a values file outside",
         [&](TestRegistry &r) {
             r.CreateKey(DataMapKey);
             fs::create_symlink(outside / "values.reg", r.FolderOfKey(DataMapKey) / "values.reg");
         }},
        {"an oversized values file",
         [&](TestRegistry &r) {
             r.CreateKey(DataMapKey);
             std::string text = "\"MapData\"=sz:\"/too/large\"\n";
             text.resize((16u << 20) + 1, ';');
             WriteFileBytes(r.FolderOfKey(DataMapKey) / "values.reg", ToBytes(text));
         }},
        {"a link at the temporary name",
         [&](TestRegistry &r) {
             r.CreateKey(MapKey);
             fs::create_symlink(outside / "values.reg",
                                r.FolderOfKey(MapKey) / ("values.reg.new-" + std::to_string(getpid())));
         }},
        {"a linked key folder",
         [&](TestRegistry &r) {
             fs::create_directories(outside / "Directories");
             fs::create_symlink(outside.Path(), r.FolderOfKey("Software\\Microsoft") / "DataMap");
         }},
    };
    for (const Case &test : cases) {
        TestRegistry registry;
        TempDirectory commonFiles;
        const fs::path data = PlaceHostUnderCommonFiles(registry, commonFiles, {});
        test.arrange(registry);
        MessageCapture capture;
        char target[260] = {};
        EXPECT_EQ(1, Library().SetInstallDir(nullptr, "", "", target, "")) << test.name;
        EXPECT_EQ(data.string() + "/", target) << test.name;
        EXPECT_TRUE(capture.Messages().empty()) << test.name;
        EXPECT_EQ(outsideBefore, ReadFileBytes(outside / "values.reg")) << test.name;
        EXPECT_FALSE(fs::exists(outside / "Directories" / "values.reg")) << test.name;
    }
}

}  // namespace
}  // namespace dorvan::test
