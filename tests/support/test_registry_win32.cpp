#include <windows.h>

#include <gtest/gtest.h>

#include "test_registry.h"

namespace dorvan::test {

namespace {

const char *const Arranged[] = {"Software\\Microsoft\\DataMap", "Software\\Microsoft\\Shared Tools\\Map"};
const char CurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// The host's keys live in the 32-bit view, where both builds read them.
const REGSAM HostView = KEY_ALL_ACCESS | KEY_WOW64_32KEY;

HKEY Open(const std::string &key)
{
    HKEY opened = nullptr;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, HostView, &opened) == ERROR_SUCCESS ? opened : nullptr;
}

}  // namespace

struct TestRegistry::Saved {
    std::optional<RegistryValue> commonFiles;
    bool sharedToolsExisted = false;
};

TestRegistry::TestRegistry() : saved_(new Saved)
{
    for (const char *key : Arranged)
        EXPECT_FALSE(KeyExists(key)) << key << " exists before the test: run the tests in a private Wine prefix";
    saved_->commonFiles = Value(CurrentVersion, "CommonFilesDir");
    saved_->sharedToolsExisted = KeyExists("Software\\Microsoft\\Shared Tools");
}

TestRegistry::~TestRegistry()
{
    for (const char *key : Arranged)
        DeleteKey(key);
    if (saved_->commonFiles)
        SetValue(CurrentVersion, "CommonFilesDir", saved_->commonFiles->type, saved_->commonFiles->data);
    else
        DeleteValue(CurrentVersion, "CommonFilesDir");
    if (!saved_->sharedToolsExisted)
        DeleteKey("Software\\Microsoft\\Shared Tools");
}

void TestRegistry::CreateKey(const std::string &key)
{
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, HostView, nullptr, &created,
                                             nullptr))
        << key;
    RegCloseKey(created);
}

void TestRegistry::DeleteKey(const std::string &key)
{
    if (HKEY opened = Open(key)) {
        RegDeleteTreeA(opened, nullptr);
        RegCloseKey(opened);
    }
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_32KEY, 0);
}

bool TestRegistry::KeyExists(const std::string &key) const
{
    HKEY opened = Open(key);
    if (opened)
        RegCloseKey(opened);
    return opened != nullptr;
}

void TestRegistry::SetValue(const std::string &key, const std::string &name, uint32_t type, const Bytes &data)
{
    CreateKey(key);
    HKEY opened = Open(key);
    ASSERT_NE(nullptr, opened);
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(opened, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())));
    RegCloseKey(opened);
}

void TestRegistry::SetString(const std::string &key, const std::string &name, const std::string &text)
{
    Bytes data = ToBytes(text);
    data.push_back(0);
    SetValue(key, name, REG_SZ, data);
}

void TestRegistry::DeleteValue(const std::string &key, const std::string &name)
{
    HKEY opened = Open(key);
    if (!opened)
        return;
    RegDeleteValueA(opened, name.c_str());
    RegCloseKey(opened);
}

std::optional<RegistryValue> TestRegistry::Value(const std::string &key, const std::string &name) const
{
    HKEY opened = Open(key);
    if (!opened)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<RegistryValue> value;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        Bytes data(size);
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
            data.resize(size);
            value = RegistryValue{type, data};
        }
    }
    RegCloseKey(opened);
    return value;
}

}  // namespace dorvan::test
