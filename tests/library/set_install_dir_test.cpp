// Finding the map data directory through the shipped library, with the
// host's keys arranged in the registry for each case.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"
#include "test_registry.h"

#ifdef _WIN64
#include <windows.h>
#endif
#ifndef _WIN32
#include "dorvan_setup.h"
#endif

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const std::string Sep = "\\";
#else
const std::string Sep = "/";
#endif

const char DataMapKey[] = "Software\\Microsoft\\DataMap\\Directories";
const char SharedToolsKey[] = "Software\\Microsoft\\Shared Tools";
const char MapKey[] = "Software\\Microsoft\\Shared Tools\\Map\\Directories";
const char CurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

const char HostMissing[] =
    "Instalacja zostaje przerwana. Najpierw zainstaluj Microsoft Map dostarczany wraz z Microsoft Office.";

Bytes Terminated(const std::string &text)
{
    Bytes bytes = ToBytes(text);
    bytes.push_back(0);
    return bytes;
}

// A host installation under the common-files directory, with its
// dictionary, which only the fallback finds; and the caller's buffer.
struct HostedCall {
    HostedCall()
    {
        derivedFolder_ = PlaceHostUnderCommonFiles(registry_, commonFiles_, MakeRecord("Wlochy.GST"));
        std::memset(target_, 0xCC, sizeof target_);
    }

    unsigned char Call() { return Library().SetInstallDir(TestOwnerWindow(), "", "", target_, ""); }
    std::string Target() const { return std::string(target_); }

    bool TargetUntouched() const
    {
        for (unsigned char byte : target_)
            if (byte != 0xCC)
                return false;
        return true;
    }

    Bytes StoredMapData(const char *key) const
    {
        auto value = registry_.Value(key, "MapData");
        return value && value->type == 1 ? value->data : Bytes{};
    }

    TestRegistry registry_;
    TempDirectory commonFiles_;
    fs::path derivedFolder_;
    const std::string derived_ = commonFiles_.Name() + Sep + "Microsoft Shared" + Sep + "DataMap" + Sep + "Data" + Sep;
    char target_[300];  // 260 bytes for the directory and guard bytes after them
    MessageCapture capture_;
};

class SetInstallDirTest : public testing::Test, protected HostedCall {};

// Each case arranges the registry, calls once and checks the answer, the
// caller's buffer, the boxes shown and what the call left in the registry.
// A failure shows message 17 and leaves the buffer untouched; a success
// shows nothing; no case writes past the buffer's 260 bytes.
struct DiscoveryCase {
    const char *name;
    std::function<void(HostedCall &)> arrange;
    const char *found;       // the directory answered; Derived, or null for a failure
    const char *recordedIn;  // the key that must hold the derived directory afterwards, if any
    const char *absentKey;   // a key the call must not have created, if any
    const char *emptyKey = nullptr;  // a key the call made on its way and left without MapData
};
const char Derived[] = "the derived directory";

TEST(SetInstallDir, EachArrangementOfTheHostsKeysGivesItsDirectory)
{
    const std::string longest(259, 'm');
    const DiscoveryCase cases[] = {
        {"MapData of the first key, as stored; Shared Tools never opened",
         [](HostedCall &t) { t.registry_.SetString(DataMapKey, "MapData", "D:\\Mapy\\Dane"); },
         "D:\\Mapy\\Dane", nullptr, "Software\\Microsoft\\Shared Tools\\Map"},
        {"neither key: the second is created and the fallback recorded in it", [](HostedCall &) {}, Derived,
         MapKey, "Software\\Microsoft\\DataMap"},
        {"the record is trusted on the next call, dictionary or not",
         [](HostedCall &t) {
             t.Call();
             fs::remove(t.derivedFolder_ / "Geodict.dct");
         },
         Derived, MapKey, nullptr},
        {"the first key without MapData receives the fallback",
         [](HostedCall &t) { t.registry_.CreateKey(DataMapKey); }, Derived, DataMapKey,
         "Software\\Microsoft\\Shared Tools\\Map"},
        {"an existing second key is read",
         [](HostedCall &t) { t.registry_.SetString(MapKey, "MapData", "E:\\Dane\\"); }, "E:\\Dane\\",
         nullptr, nullptr},
        {"only a string counts: a REG_DWORD MapData is missing",
         [](HostedCall &t) { t.registry_.SetValue(MapKey, "MapData", 4, Bytes{1, 0, 0, 0}); }, Derived,
         MapKey, nullptr},
        {"a common-files directory ending in a separator gets no second",
         [](HostedCall &t) {
             t.registry_.SetString(CurrentVersionKey, "CommonFilesDir", t.commonFiles_.Name() + Sep);
         },
         Derived, nullptr, nullptr},
        {"259 characters and the terminator fit",
         [&](HostedCall &t) { t.registry_.SetString(DataMapKey, "MapData", longest); }, longest.c_str(),
         nullptr, nullptr},
        {"no terminator within 260 bytes counts as missing",
         [](HostedCall &t) { t.registry_.SetValue(DataMapKey, "MapData", 1, Bytes(260, 'm')); }, Derived,
         DataMapKey, nullptr},
        {"a MapData too long counts as missing",
         [](HostedCall &t) {
             t.registry_.SetValue(DataMapKey, "MapData", 1, Terminated(std::string(400, 'm')));
         },
         Derived, DataMapKey, nullptr},
        {"a short unterminated MapData is its text",
         [](HostedCall &t) { t.registry_.SetValue(DataMapKey, "MapData", 1, ToBytes("F:\\Dane")); },
         "F:\\Dane", nullptr, nullptr},
        {"a derived directory without dictionary fails; the key made on the way stays, empty",
         [](HostedCall &t) { fs::remove(t.derivedFolder_ / "Geodict.dct"); }, nullptr, nullptr, nullptr, MapKey},
        {"no common-files directory fails",
         [](HostedCall &t) { t.registry_.DeleteValue(CurrentVersionKey, "CommonFilesDir"); }, nullptr,
         nullptr, nullptr},
        {"a common-files directory that is no string fails",
         [](HostedCall &t) { t.registry_.SetValue(CurrentVersionKey, "CommonFilesDir", 4, Bytes{1, 2, 3, 4}); },
         nullptr, nullptr, nullptr},
        {"a derived directory too long for a path fails",
         [](HostedCall &t) { t.registry_.SetString(CurrentVersionKey, "CommonFilesDir", std::string(240, 'c')); },
         nullptr, nullptr, nullptr},
#ifndef _WIN32
        // The host's shared keys gone: arranged in the portable registry
        // only, since a test may not remove the system's own keys.
        {"neither key openable fails and creates none",
         [](HostedCall &t) { t.registry_.DeleteKey(SharedToolsKey); }, nullptr, nullptr, SharedToolsKey},
        {"no vendor key fails", [](HostedCall &t) { t.registry_.DeleteKey("Software\\Microsoft"); }, nullptr,
         nullptr, nullptr},
#endif
    };
    for (const DiscoveryCase &c : cases) {
        SCOPED_TRACE(c.name);
        HostedCall t;
        c.arrange(t);
        std::memset(t.target_, 0xCC, sizeof t.target_);
        t.capture_.Clear();
        const unsigned char result = t.Call();
        EXPECT_EQ(0xCC, static_cast<unsigned char>(t.target_[260]));
        if (!c.found) {
            EXPECT_EQ(0, result);
            EXPECT_TRUE(t.TargetUntouched());
            ASSERT_EQ(1u, t.capture_.Messages().size());
            EXPECT_EQ(HostMissing, t.capture_.Messages()[0].text);
            EXPECT_EQ(TestOwnerWindow(), t.capture_.Messages()[0].owner);
        } else {
            EXPECT_EQ(1, result);
            EXPECT_EQ(c.found == Derived ? t.derived_ : std::string(c.found), t.Target());
            EXPECT_TRUE(t.capture_.Messages().empty());
        }
        if (c.recordedIn) {
            EXPECT_EQ(Terminated(t.derived_), t.StoredMapData(c.recordedIn));
        }
        if (c.absentKey) {
            EXPECT_FALSE(t.registry_.KeyExists(c.absentKey));
        }
        if (c.emptyKey) {
            EXPECT_TRUE(t.registry_.KeyExists(c.emptyKey));
            EXPECT_FALSE(t.registry_.Value(c.emptyKey, "MapData"));
        }
    }
}

TEST_F(SetInstallDirTest, AMapDataNamingNoDictionaryStillSucceedsAndInstallThenShows19)
{
    TempDirectory empty;
    registry_.SetString(DataMapKey, "MapData", empty.Name());
    EXPECT_EQ(1, Call());
    EXPECT_EQ(empty.Name(), Target());
    TempDirectory source;
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    EXPECT_EQ(0, Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), target_, ""));
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ("Plik zestawu map: \"" + empty.Name() + Sep + "Geodict.dct\" nie istnieje.", capture_.Messages()[0].text);
}

TEST_F(SetInstallDirTest, TheWholeInstallationRunsFromTheFirstCall)
{
    TempDirectory source;
    const Bytes before = ReadFileBytes(derivedFolder_ / "Geodict.dct");
    WriteFileBytes(source / "GeoExt.gxt", MakeRecord("Pols0000.GST"));
    ASSERT_EQ(1, Call());
    EXPECT_EQ(1, Library().SetGeoDict(TestOwnerWindow(), "", source.Name().c_str(), target_, ""));
    EXPECT_EQ(1, Library().VorezuInstalled(target_));
    EXPECT_EQ(1, Library().ClearGeoDict(TestOwnerWindow(), "", "", target_, ""));
    EXPECT_EQ(0, Library().VorezuInstalled(target_));
    EXPECT_EQ(before, ReadFileBytes(derivedFolder_ / "Geodict.dct"));
    EXPECT_TRUE(capture_.Messages().empty());
}

#ifdef _WIN64
// The host is a 32-bit program: a record that only the 64-bit view of the
// registry holds is not the host's, and the x64 build does not read it.
TEST_F(SetInstallDirTest, ARecordOnlyInThe64BitViewIsNotRead)
{
    const REGSAM view64 = KEY_ALL_ACCESS | KEY_WOW64_64KEY;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, DataMapKey, 0, nullptr, 0, view64, nullptr, &key, nullptr));
    const char elsewhere[] = "D:\\Widok64";
    RegSetValueExA(key, "MapData", 0, REG_SZ, reinterpret_cast<const BYTE *>(elsewhere), sizeof elsewhere);
    RegCloseKey(key);
    const unsigned char result = Call();
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, DataMapKey, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DataMap", KEY_WOW64_64KEY, 0);

    EXPECT_EQ(1, result);
    EXPECT_EQ(derived_, Target());
    EXPECT_EQ(Terminated(derived_), StoredMapData(MapKey));
    EXPECT_FALSE(registry_.KeyExists("Software\\Microsoft\\DataMap"));
}
#endif

#ifndef _WIN32
// Keys the caller may only read, as a standard user's repair meets them:
// Dorvan.dll opens them with full access, as it always has, and fails;
// DorvanSetup.dll reads them with read access and finds the directory.
TEST_F(SetInstallDirTest, KeysTheCallerMayOnlyReadAreReadByDorvanSetup)
{
    registry_.SetString(DataMapKey, "MapData", "D:\\Mapy\\Dane");
    for (const auto &folder : fs::recursive_directory_iterator(registry_.FolderOfKey("Software\\Microsoft")))
        if (folder.is_directory())
            fs::permissions(folder.path(), fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(registry_.FolderOfKey("Software\\Microsoft"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(0, Call());
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ(HostMissing, capture_.Messages()[0].text);
    char found[260] = {};
    EXPECT_EQ(0, ::FindMapDataDir(found, nullptr, 0));
    EXPECT_STREQ("D:\\Mapy\\Dane", found);
}
#endif


}  // namespace
}  // namespace dorvan::test
