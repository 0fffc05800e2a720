// The two ways bytes compare in a search.
#pragma once

#include <cstdint>

namespace dorvan {

// Byte equality: exact.
struct ExactBytes {
    static uint8_t Fold(uint8_t byte) { return byte; }
    static bool FoldsAway(uint8_t) { return false; }
};

// Byte equality with the ASCII letters A-Z and a-z folded together; every
// other byte, those from 0x80 up included, matches only itself.
struct AsciiCaseFolded {
    static uint8_t Fold(uint8_t byte) { return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte; }
    static bool FoldsAway(uint8_t byte) { return (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z'; }
};

}  // namespace dorvan
