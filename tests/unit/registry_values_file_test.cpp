// The portable registry's text form: what is written reads back the
// same, and a person's edits are understood.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dorvan.h"
#include "platform/registry.h"
#include "registry_values_text.h"
#include "test_files.h"

namespace dorvan::platform {
namespace {

TEST(RegistryValuesFile, EveryKindOfValueReadsBackByteForByte)
{
    std::vector<StoredValue> values = {
        {"MapData", 1, std::string("/opt/Common Files/Microsoft Shared/DataMap/Data/\0", 49)},
        {"Count", 4, std::string("\x2a\x00\x00\x80", 4)},
        {"Quoted \"name\" \\", 1, std::string("a\"b\\c\n\xb9\0", 8)},
        {"Unterminated", 1, "abc"},
        {"Embedded zero", 1, std::string("ab\0cd\0", 6)},
        {"Short dword", 4, "\x01"},
        {"Empty", 3, ""},
        {"", 1, std::string("default\0", 8)},
    };
    std::string text = FormatValuesFile(values);
    std::vector<StoredValue> read = ParseValuesFile(text);
    ASSERT_EQ(values.size(), read.size()) << text;
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, read[i].name);
        EXPECT_EQ(values[i].type, read[i].type) << values[i].name;
        EXPECT_EQ(values[i].data, read[i].data) << values[i].name;
    }
    EXPECT_NE(std::string::npos, text.find("\"MapData\"=sz:\"/opt/Common Files/Microsoft Shared/DataMap/Data/\""));
    EXPECT_NE(std::string::npos, text.find("\"Count\"=dword:8000002a"));
}

TEST(RegistryValuesFile, HandWrittenLinesAreUnderstoodAndBadOnesSkipped)
{
    std::vector<StoredValue> read = ParseValuesFile(
        "; comment\r\n"
        "\"MapData\"=sz:\"C:\\\\Mapy\\\\\"\r\n"
        "\"broken\"=sz:\"no end\n"
        "\"bad hex\"=hex(3):0g\n"
        "\"bad dword\"=dword:12\n"
        "\"mapdata\"=sz:\"a second one with another case is ignored\"\n"
        "\"Raw\"=hex(3):00,ff\n");
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(std::string("C:\\Mapy\\\0", 9), read[0].data);
    EXPECT_EQ(std::string("\0\xff", 2), read[1].data);
}

TEST(RegistryValuesFile, NamesMatchWithoutRegardToAsciiCase)
{
    EXPECT_TRUE(SameRegistryName("Shared Tools", "sHARED tOOLS"));
    EXPECT_FALSE(SameRegistryName("\xb9", "\xa5"));
    EXPECT_FALSE(SameRegistryName("Map", "Maps"));
}

// An open key keeps its own folder: a folder swapped for a link to
// somewhere else while the key is open is not where the value goes.
TEST(PortableRegistryKey, AKeyFolderSwappedForALinkLeadsNowhereElse)
{
    namespace fs = std::filesystem;
    test::TempDirectory root, outside;
    ASSERT_EQ(0, DorvanSetRegistryRoot(root.Name().c_str()));
    RegistryKey key = 0;
    ASSERT_TRUE(RegistryCreateKey(LocalMachineKey(), "Software\\Host", KeyAccess::Full, &key, nullptr).Ok());
    const fs::path folder = root / "HKEY_LOCAL_MACHINE" / "Software" / "Host";
    fs::rename(folder, root / "moved");
    fs::create_symlink(outside.Path(), folder);
    const uint8_t data[] = "value";
    EXPECT_TRUE(RegistrySetValue(key, "Name", RegistryString, data, sizeof data).Ok());
    RegistryCloseKey(key);
    EXPECT_TRUE(fs::is_empty(outside.Path()));
    EXPECT_TRUE(fs::exists(root / "moved" / "values.reg"));
    EXPECT_FALSE(RegistryOpenKey(LocalMachineKey(), "Software\\Host", KeyAccess::Full, &key).Ok());
    DorvanSetRegistryRoot("/nonexistent");
}

}  // namespace
}  // namespace dorvan::platform
