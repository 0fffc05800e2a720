// Byte searches, exact or with ASCII letters folded, for the dictionary
// routines and the file search: the first occurrence of a byte string in a
// byte range, linear in the worst case. Candidates are found by looking
// for two of the needle's rarer bytes at once, 16, 64 or 128 positions a
// step where the processor has SSE2, AVX2 or AVX-512BW; in a short range,
// or without SSE2, with the platform's fast single-byte search on one of
// them, the other checked at each hit. Where a long stretch holds no pair
// and one of the two bytes is rare there, that byte alone is looked for
// with a vector scan of one compare a position, until it proves common.
// When candidates come too often, the two bytes are chosen anew from what
// the bytes already passed over are: the rarest of the needle's bytes
// there, and the partner seen least often with it. When verifying
// candidates still costs more than a few times the bytes passed over
// (repetitive data), the rest of the range is searched with the two-way
// algorithm, which never looks at a byte more than a small fixed number of
// times (bytes/two_way.h). The scans by tier are in bytes/scan_tiers.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bytes/byte_equality.h"
#include "bytes/scan_tiers.h"
#include "bytes/two_way.h"

namespace dorvan {

template <typename Equality>
class SubstringSearch {
public:
    static constexpr size_t NotFound = SIZE_MAX;

    // What a search learns of the data as it goes: the two bytes looked
    // for together, chosen anew from the data when the needle's own guess
    // proves wrong there. A caller that searches one stream in pieces
    // keeps one state for all of them; each piece then starts from what the
    // last one learned.
    struct State {
        ptrdiff_t anchor;   // position of the byte looked for first; -1: none usable
        ptrdiff_t partner;  // a second such byte checked with it; -1: none
        bool chosenFromData;
        // Where a vector tier runs: whether the two bytes' counts in a long
        // stretch without a pair have been taken; and whether the rarer of
        // them is then looked for alone, the other checked at each hit,
        // which passes over the data faster while that byte stays rare.
        bool counted;
        bool alone;
        size_t aloneMisses;  // hits of the byte alone where the other did not match
        size_t alonePassed;  // positions passed over looking for it alone
    };

    // The needle is not copied: it must outlive the searcher. An empty
    // needle is found nowhere.
    SubstringSearch(const uint8_t *needle, size_t length);

    // The state a search starts from: the needle's own guess.
    State Begin() const { return State{anchor_, partner_, false, false, false, 0, 0}; }

    // Offset of the first occurrence in haystack[0, length), or NotFound:
    // from a fresh state, or from `state`, which it updates.
    size_t FindIn(const uint8_t *haystack, size_t length) const;
    size_t FindIn(const uint8_t *haystack, size_t length, State &state) const;

private:
    bool Same(uint8_t a, uint8_t b) const { return Equality::Fold(a) == Equality::Fold(b); }
    size_t NextCandidate(const uint8_t *haystack, size_t start, size_t lastStart, State &state) const;
    size_t NextLoneCandidate(const uint8_t *haystack, size_t start, size_t lastStart, State &state) const;
    void CountLoneBytes(const uint8_t *haystack, size_t from, size_t to, State &state) const;
    void ChooseFromData(const uint8_t *haystack, size_t from, size_t to, State &state) const;
    size_t CountPairs(const uint8_t *haystack, size_t from, size_t to, ptrdiff_t first, ptrdiff_t second) const;
    size_t FindByTwoWay(const uint8_t *haystack, size_t length) const;

    const uint8_t *needle_;
    ptrdiff_t length_;
    // Factorised once, for every call that falls back to it.
    TwoWaySearch<Equality> twoWay_;
    // The needle's own guess of which of its bytes are rare.
    ptrdiff_t anchor_ = -1;
    ptrdiff_t partner_ = -1;
};

extern template class SubstringSearch<ExactBytes>;
extern template class SubstringSearch<AsciiCaseFolded>;

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
