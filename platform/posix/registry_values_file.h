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
// cannot be read is skipped. Of several lines with one name, the first
// counts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan::platform {

// The comment line every values file the library writes begins with.
extern const char ValuesFileHeader[];

// The next line of [*cursor, end), without its line end ("\n" or "\r\n");
// advances *cursor past it. False at the end of the text.
bool NextLine(const char **cursor, const char *end, const char **line, size_t *length);

// One value decoded from its line into a scratch buffer of at least the
// line's length: decoding never makes anything longer.
struct DecodedValue {
    const char *name;
    size_t nameLength;
    uint32_t type;
    const uint8_t *data;
    size_t dataLength;
};

// False for comments and for lines that cannot be read.
bool DecodeValueLine(const char *line, size_t length, uint8_t *scratch, DecodedValue *value);

// The most bytes the line of a value with a name and data of these lengths
// can take, line end included.
size_t ValueLineLimit(size_t nameLength, size_t dataLength);

// Writes the value's line, line end included, into `out` (at least
// ValueLineLimit bytes); returns its length.
size_t FormatValueLine(char *out, const DecodedValue &value);

// ASCII letters compared without regard to case, as registry names are.
bool SameRegistryName(const char *a, size_t aLength, const char *b, size_t bLength);

}  // namespace dorvan::platform
