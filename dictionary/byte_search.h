#pragma once

#include <cstdint>

namespace dorvan {

// A matcher: the first, lowest match of the zero-terminated `pattern` in
// [start, end), or null. An empty pattern never matches; a range shorter
// than the pattern yields null without being read.
using ByteMatcher = const uint8_t *(*)(const uint8_t *start, const char *pattern, const uint8_t *end);

// Exact byte values.
const uint8_t *FindBytes(const uint8_t *start, const char *pattern, const uint8_t *end);

// ASCII letters A-Z and a-z match either case; every other byte, national
// letters from 0x80 up included, matches only itself, whatever the
// process's locale.
const uint8_t *FindBytesNoCase(const uint8_t *start, const char *pattern, const uint8_t *end);

// Whether the E raw bytes of `needle` (zero bytes included) occur anywhere
// in [haystack, haystack + haystackLength). An empty needle occurs.
bool ContainsBytes(const uint8_t *haystack, int32_t haystackLength, const uint8_t *needle,
                   int32_t needleLength);

}  // namespace dorvan
