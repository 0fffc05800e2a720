// The portable registry's values file as whole texts and lists, for the
// tests and the fuzz target: built on the library's line reader and
// writer, which work a line at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/registry_values_file.h"

namespace dorvan::platform {

struct StoredValue {
    std::string name;
    uint32_t type = 0;
    std::string data;  // raw bytes
};

// Every readable value, the first of each name, in the file's order.
std::vector<StoredValue> ParseValuesFile(std::string_view text);
// The file the library writes for these values.
std::string FormatValuesFile(const std::vector<StoredValue> &values);

inline bool SameRegistryName(std::string_view a, std::string_view b)
{
    return SameRegistryName(a.data(), a.size(), b.data(), b.size());
}

}  // namespace dorvan::platform
