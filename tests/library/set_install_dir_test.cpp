// Finding the map data directory through the shipped library, with the
// host's keys arranged in the registry for each case.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"
#include "test_registry.h"

#ifdef _WIN64
#include <windows.h>
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

class SetInstallDirTest : public testing::Test {
protected:
    // A host installation under the common-files directory, with its
    // dictionary, which only the fallback finds.
    void SetUp() override
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

    static Bytes Terminated(const std::string &text)
    {
        Bytes bytes = ToBytes(text);
        bytes.push_back(0);
        return bytes;
    }

    TestRegistry registry_;
    TempDirectory commonFiles_;
    fs::path derivedFolder_;
    const std::string derived_ = commonFiles_.Name() + Sep + "Microsoft Shared" + Sep + "DataMap" + Sep + "Data" + Sep;
    char target_[300];  // 260 bytes for the directory and guard bytes after them
    MessageCapture capture_;
};

TEST_F(SetInstallDirTest, MapDataOfTheFirstKeyIsReturnedAsStoredAndSharedToolsIsNeverOpened)
{
    registry_.SetString(DataMapKey, "MapData", "D:\\Mapy\\Dane");
    EXPECT_EQ(1, Call());
    EXPECT_EQ("D:\\Mapy\\Dane", Target());
    EXPECT_FALSE(registry_.KeyExists("Software\\Microsoft\\Shared Tools\\Map"));
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(SetInstallDirTest, WithoutEitherKeyTheSecondIsCreatedAndTheFallbackRecordedInIt)
{
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
    EXPECT_TRUE(registry_.KeyExists(MapKey));
    EXPECT_EQ(Terminated(derived_), StoredMapData(MapKey));
    EXPECT_FALSE(registry_.KeyExists("Software\\Microsoft\\DataMap"));

    // The next call is answered from the record, which is trusted.
    fs::remove(derivedFolder_ / "Geodict.dct");
    std::memset(target_, 0xCC, sizeof target_);
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(SetInstallDirTest, TheFirstKeyWithoutMapDataReceivesTheFallback)
{
    registry_.CreateKey(DataMapKey);
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
    EXPECT_EQ(Terminated(derived_), StoredMapData(DataMapKey));
    EXPECT_FALSE(registry_.KeyExists("Software\\Microsoft\\Shared Tools\\Map"));
}

TEST_F(SetInstallDirTest, AnExistingSecondKeyIsReadAndOnlyAStringCounts)
{
    registry_.SetString(MapKey, "MapData", "E:\\Dane\\");
    EXPECT_EQ(1, Call());
    EXPECT_EQ("E:\\Dane\\", Target());

    registry_.SetValue(MapKey, "MapData", 4, Bytes{1, 0, 0, 0});  // REG_DWORD counts as missing
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
    EXPECT_EQ(Terminated(derived_), StoredMapData(MapKey));
}

TEST_F(SetInstallDirTest, ACommonFilesDirectoryEndingInASeparatorGetsNoSecond)
{
    registry_.SetString(CurrentVersionKey, "CommonFilesDir", commonFiles_.Name() + Sep);
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
}

TEST_F(SetInstallDirTest, ADerivedDirectoryWithoutDictionaryFailsWithMessage17AndTouchesNothing)
{
    fs::remove(derivedFolder_ / "Geodict.dct");
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ(HostMissing, capture_.Messages()[0].text);
    EXPECT_EQ(TestOwnerWindow(), capture_.Messages()[0].owner);
    // The key created on the way stays, empty.
    EXPECT_TRUE(registry_.KeyExists(MapKey));
    EXPECT_FALSE(registry_.Value(MapKey, "MapData"));
}

TEST_F(SetInstallDirTest, NoCommonFilesDirectoryFailsWithMessage17)
{
    registry_.DeleteValue(CurrentVersionKey, "CommonFilesDir");
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    registry_.SetValue(CurrentVersionKey, "CommonFilesDir", 4, Bytes{1, 2, 3, 4});
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    EXPECT_EQ(2u, capture_.Messages().size());
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

TEST_F(SetInstallDirTest, MapDataTooLongOrUnterminatedAtTheLimitCountsAsMissing)
{
    const std::string longest(259, 'm');
    registry_.SetString(DataMapKey, "MapData", longest);  // 259 characters and the terminator fit
    EXPECT_EQ(1, Call());
    EXPECT_EQ(longest, Target());
    EXPECT_EQ(0xCC, static_cast<unsigned char>(target_[260]));

    registry_.SetValue(DataMapKey, "MapData", 1, Bytes(260, 'm'));  // no terminator within 260 bytes
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());

    registry_.SetValue(DataMapKey, "MapData", 1, Terminated(std::string(400, 'm')));
    EXPECT_EQ(1, Call());
    EXPECT_EQ(derived_, Target());
}

TEST_F(SetInstallDirTest, AShortUnterminatedMapDataIsItsText)
{
    registry_.SetValue(DataMapKey, "MapData", 1, ToBytes("F:\\Dane"));
    EXPECT_EQ(1, Call());
    EXPECT_EQ("F:\\Dane", Target());
}

TEST_F(SetInstallDirTest, ADerivedDirectoryTooLongForAPathFailsWithMessage17)
{
    registry_.SetString(CurrentVersionKey, "CommonFilesDir", std::string(240, 'c'));
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ(HostMissing, capture_.Messages()[0].text);
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
// Cases that need the host's shared keys gone: arranged in the portable
// registry only, since a test may not remove the system's own keys.
TEST_F(SetInstallDirTest, NeitherKeyOpenableFailsWithMessage17)
{
    registry_.DeleteKey(SharedToolsKey);
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ(HostMissing, capture_.Messages()[0].text);
    EXPECT_FALSE(registry_.KeyExists(SharedToolsKey));
}

TEST_F(SetInstallDirTest, NoVendorKeyFailsWithMessage17)
{
    registry_.DeleteKey("Software\\Microsoft");
    EXPECT_EQ(0, Call());
    EXPECT_TRUE(TargetUntouched());
    ASSERT_EQ(1u, capture_.Messages().size());
    EXPECT_EQ(HostMissing, capture_.Messages()[0].text);
}

#endif

}  // namespace
}  // namespace dorvan::test
