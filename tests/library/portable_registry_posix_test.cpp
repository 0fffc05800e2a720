// The portable build's folder registry as SetInstallDir meets it: letter
// case, keys that cannot be made, records kept across processes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

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

}  // namespace
}  // namespace dorvan::test
