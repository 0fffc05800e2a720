// Byte searches, exact or with ASCII letters folded, for the dictionary
// routines and the file search: the first occurrence of a byte string in a
// byte range, linear in the worst case. Candidates are found by looking
// for two of the needle's rarer bytes at once, 16, 64 or 128 positions a
// step where the processor has SSE2, AVX2 or AVX-512BW; in a short range,
// or without SSE2, with the platform's fast single-byte search on one of
// them, the other checked at each hit. When candidates come too often, the
// two bytes are chosen anew from what the bytes already passed over are:
// the rarest of the needle's bytes there, and the partner seen least
// often with it. When verifying candidates still costs more than a few
// times the bytes passed over (repetitive data), the rest of the range is
// searched with the two-way algorithm, which never looks at a byte more
// than a small fixed number of times.
#pragma once

#include <cstddef>
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

template <typename Equality>
class SubstringSearch {
public:
    static constexpr size_t NotFound = SIZE_MAX;

    // The needle is not copied: it must outlive the searcher. An empty
    // needle is found nowhere.
    SubstringSearch(const uint8_t *needle, size_t length);

    // Offset of the first occurrence in haystack[0, length), or NotFound.
    size_t FindIn(const uint8_t *haystack, size_t length) const;

private:
    bool Same(uint8_t a, uint8_t b) const { return Equality::Fold(a) == Equality::Fold(b); }
    ptrdiff_t MaximalSuffix(bool reversedOrder, ptrdiff_t *period) const;
    void Factorise() const;
    size_t FindByTwoWay(const uint8_t *haystack, size_t length) const;
    size_t NextCandidate(const uint8_t *haystack, size_t start, size_t lastStart) const;
    void ChooseFromData(const uint8_t *haystack, size_t from, size_t to) const;
    size_t CountPairs(const uint8_t *haystack, size_t from, size_t to, ptrdiff_t first, ptrdiff_t second) const;

    const uint8_t *needle_;
    ptrdiff_t length_;
    // The two bytes looked for together, first chosen by a fixed idea of
    // which bytes are rare, and chosen once more from the data itself when
    // that idea proves wrong there.
    mutable ptrdiff_t anchor_ = -1;   // position of the byte looked for first; -1: none usable
    mutable ptrdiff_t partner_ = -1;  // a second such byte checked with it; -1: none
    mutable bool chosenFromData_ = false;
    // The two-way algorithm's critical factorisation, made when first needed.
    mutable bool factorised_ = false;
    mutable ptrdiff_t critical_ = 0;
    mutable ptrdiff_t period_ = 1;
    mutable bool periodic_ = false;
};

extern template class SubstringSearch<ExactBytes>;
extern template class SubstringSearch<AsciiCaseFolded>;

// The vector extensions the candidate scans use, narrowest first. A search
// takes the widest that the build has and the processor runs; a test
// limits it to each in turn, so that every scan the build ships is tried.
enum class ScanTier { Portable, Sse2, Avx2, Avx512 };
bool ScanTierAvailable(ScanTier tier);
void LimitScanTier(ScanTier tier);  // for tests: `tier` and narrower ones only
void LiftScanTierLimit();

// The first, lowest match of the zero-terminated `pattern` in [start,
// end), or null. An empty pattern never matches; a range shorter than the
// pattern yields null without being read. Exact byte values.
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
