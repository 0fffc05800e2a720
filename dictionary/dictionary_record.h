// The library's view of a geographic dictionary record; every other byte of
// the dictionary is opaque.
#pragma once

#include <cstdint>

namespace dorvan {

struct DictionaryRecord {
    static constexpr char Tag[] = "LBTG";     // 4 ASCII bytes, no terminator in the file
    static constexpr int32_t TagSize = 4;
    static constexpr int32_t LengthOffset = 4;  // one unsigned byte L
    static constexpr int32_t FixedSpan = 8;     // a record spans L + 8 bytes from its tag

    // End of the record whose tag is at `tag` in data of `dataLength`
    // bytes. A tag with no length byte inside the data reaches the end of
    // the data; otherwise the end may lie beyond it.
    static int64_t EndOf(const uint8_t *data, int32_t dataLength, int32_t tag)
    {
        if (tag + LengthOffset >= dataLength)
            return dataLength;
        return int64_t{tag} + FixedSpan + data[tag + LengthOffset];
    }
};

}  // namespace dorvan
