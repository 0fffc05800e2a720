// The candidate scans by processor tier: the vector extensions the scans
// use, narrowest first, and the scans for two bytes at a fixed distance
// and for one byte, made with the widest tier the build has, the
// processor runs and no test has ruled out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan {

enum class ScanTier { Portable, Sse2, Avx2, Avx512 };

bool ScanTierAvailable(ScanTier tier);

// For tests: `tier` and narrower ones only, until lifted; so that every
// scan the build ships is tried.
void LimitScanTier(ScanTier tier);
void LiftScanTierLimit();

// Limits the tier for as long as it lives, whatever way its scope ends.
class ScopedScanTier {
public:
    explicit ScopedScanTier(ScanTier tier) { LimitScanTier(tier); }
    ScopedScanTier(const ScopedScanTier &) = delete;
    ScopedScanTier &operator=(const ScopedScanTier &) = delete;
    ~ScopedScanTier() { LiftScanTierLimit(); }
};

// Whether a vector tier may scan for pairs now; without one a search
// looks for its rarer byte with the platform's single-byte search.
bool PairScanUsable();

// The first position p in [start, lastStart] with haystack[p + firstOffset]
// == first and haystack[p + secondOffset] == second, or SIZE_MAX. Reads no
// byte past lastStart + the larger offset. Only while PairScanUsable().
size_t ScanForPair(const uint8_t *haystack, size_t start, size_t lastStart, size_t firstOffset, uint8_t first,
                   size_t secondOffset, uint8_t second);

// As ScanForPair for one byte: the first p with haystack[p + offset] ==
// byte. Not the C library's memchr, which some run-time libraries search
// a byte at a time.
size_t ScanForByte(const uint8_t *haystack, size_t start, size_t lastStart, size_t offset, uint8_t byte);

}  // namespace dorvan
