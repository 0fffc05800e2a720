// The text form of one registry key's values, as the portable registry
// keeps it in the key's folder ("values.reg"). One value per line:
//
//   "MapData"=sz:"/opt/host/Common Files/Microsoft Shared/DataMap/Data/"
//   "Count"=dword:0000002a
//   "Raw"=hex(3):01,00,ff
//
// Inside quotes, \\ is a backslash, \" a quote and \xHH any byte; the
// writer escapes every byte outside printable ASCII. sz holds a string and
// its terminator; a REG_SZ value that is not exactly that is written as
// hex(1). Lines that are empty or start with ';' are comments; a line that
// cannot be read is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan::platform {

struct StoredValue {
    std::string name;
    uint32_t type = 0;
    std::string data;  // raw bytes
};

std::vector<StoredValue> ParseValuesFile(std::string_view text);
std::string FormatValuesFile(const std::vector<StoredValue> &values);

// ASCII letters compared without regard to case, as registry names are.
bool SameRegistryName(std::string_view a, std::string_view b);

}  // namespace dorvan::platform
