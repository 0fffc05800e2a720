// Arranges registry keys under HKEY_LOCAL_MACHINE for a test and puts
// everything back afterwards: under Wine the real registry, on the
// portable build the library's folder registry in a temporary root.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "test_files.h"

namespace dorvan::test {

struct RegistryValue {
    uint32_t type;
    Bytes data;
};

class TestRegistry {
public:
    TestRegistry();
    ~TestRegistry();
    TestRegistry(const TestRegistry &) = delete;
    TestRegistry &operator=(const TestRegistry &) = delete;

    // Key paths are relative to HKEY_LOCAL_MACHINE, with '\' separators.
    void CreateKey(const std::string &key);
    void DeleteKey(const std::string &key);  // with everything below it
    bool KeyExists(const std::string &key) const;
    void SetValue(const std::string &key, const std::string &name, uint32_t type, const Bytes &data);
    void SetString(const std::string &key, const std::string &name, const std::string &text);  // with terminator
    void DeleteValue(const std::string &key, const std::string &name);
    std::optional<RegistryValue> Value(const std::string &key, const std::string &name) const;

#ifndef _WIN32
    // The folder that stands for a key in the portable registry.
    std::filesystem::path FolderOfKey(const std::string &key) const;
#endif

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// A host installation that only SetInstallDir's fallback finds: the
// registry's common-files directory becomes `commonFiles`, whose folder
// "Microsoft Shared/DataMap/Data" gets a "Geodict.dct" holding `dictionary`.
// Returns that folder.
std::filesystem::path PlaceHostUnderCommonFiles(TestRegistry &registry, const TempDirectory &commonFiles,
                                                const Bytes &dictionary);

}  // namespace dorvan::test
