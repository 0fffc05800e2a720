#pragma once

#include <cstdint>

namespace dorvan {

// Appends `length` bytes at the end of the open file, whose length is
// `oldLength`. An append that falls short is taken back: the file is cut to
// its old length through the same handle, so it never ends in part of what
// was appended. Returns whether every byte was appended.
bool AppendWhole(int handle, int32_t oldLength, const uint8_t *bytes, int32_t length);

}  // namespace dorvan
