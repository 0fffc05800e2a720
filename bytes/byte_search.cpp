#include "bytes/byte_search.h"

#include <algorithm>
#include <cstring>


namespace dorvan {

namespace {

// How often a byte is expected in dictionaries, text and binary files:
// the higher, the rarer. Only a guess; a wrong one costs speed, never
// correctness.
constexpr int RarityOf(unsigned byte)
{
    if (byte == 0x00 || byte == 0xFF)
        return 0;
    if (byte == ' ')
        return 1;
    for (char common : {'e', 't', 'a', 'o', 'i', 'n', 's', 'r', 'h', 'l'})
        if (byte == static_cast<unsigned char>(common))
            return 10;
    if (byte >= 'a' && byte <= 'z')
        return 20;
    if (byte >= '0' && byte <= '9')
        return 30;
    if (byte >= 'A' && byte <= 'Z')
        return 40;
    if (byte < 0x20)
        return 50;
    if (byte < 0x80)
        return 60;
    return 70;
}

struct RarityTable {
    int8_t rarity[256];
    constexpr RarityTable() : rarity{}
    {
        for (unsigned byte = 0; byte < 256; ++byte)
            rarity[byte] = static_cast<int8_t>(RarityOf(byte));
    }
};

constexpr RarityTable Rarities;

int Rarity(uint8_t byte) { return Rarities.rarity[byte]; }

}  // namespace

template <typename Equality>
SubstringSearch<Equality>::SubstringSearch(const uint8_t *needle, size_t length)
    : needle_(needle), length_(static_cast<ptrdiff_t>(length)), twoWay_(needle, length)
{
    // The anchor must be a byte that only matches itself, so that the fast
    // single-byte search can look for it.
    int best = -1;
    for (ptrdiff_t i = 0; i < length_; ++i) {
        if (Equality::FoldsAway(needle[i]))
            continue;
        int rarity = Rarity(needle[i]);
        if (rarity > best) {
            best = rarity;
            anchor_ = i;
        }
    }
    // The partner: the rarest other byte, preferring another value.
    int partnerBest = -1;
    for (ptrdiff_t i = 0; anchor_ >= 0 && i < length_; ++i) {
        if (i == anchor_ || Equality::FoldsAway(needle[i]))
            continue;
        int rarity = Rarity(needle[i]) * 2 + (needle[i] != needle[anchor_] ? 1 : 0);
        if (rarity > partnerBest) {
            partnerBest = rarity;
            partner_ = i;
        }
    }
}

// A byte looked for alone must be rarer than once in this many positions;
// it is judged common again after this many hits without its partner.
constexpr size_t LoneSpacing = 4096;
constexpr size_t LoneMissesJudged = 16;
// The stretch a pair scan passes over without a pair before the two bytes
// are counted: searches that find their pair sooner, such as the next
// record's tag, never pay for counting.
constexpr size_t CountedStretch = 2 * LoneSpacing;

template <typename Equality>
size_t SubstringSearch<Equality>::NextCandidate(const uint8_t *haystack, size_t start, size_t lastStart,
                                                State &state) const
{
    const size_t anchor = static_cast<size_t>(state.anchor);
    const ptrdiff_t partner = state.partner;
    const uint8_t anchorByte = needle_[anchor];
    // A short range, such as one record, costs more to set a vector scan up
    // for than to search with the platform's single-byte search.
    constexpr size_t ShortRange = 256;
    if (lastStart - start < ShortRange) {
        while (const void *hit = std::memchr(haystack + start + anchor, anchorByte, lastStart - start + 1)) {
            const size_t candidate = static_cast<size_t>(static_cast<const uint8_t *>(hit) - haystack) - anchor;
            if (partner < 0 || haystack[candidate + static_cast<size_t>(partner)] == needle_[partner])
                return candidate;
            if ((start = candidate + 1) > lastStart)
                break;
        }
        return NotFound;
    }
    if (partner >= 0 && PairScanUsable()) {
        if (state.alone)
            return NextLoneCandidate(haystack, start, lastStart, state);
        const size_t partnerOffset = static_cast<size_t>(partner);
        if (!state.counted) {
            const size_t stretchEnd = std::min(lastStart, start + CountedStretch - 1);
            const size_t found =
                ScanForPair(haystack, start, stretchEnd, anchor, anchorByte, partnerOffset, needle_[partner]);
            if (found != SIZE_MAX)
                return found;
            if (stretchEnd - start + 1 == CountedStretch)
                CountLoneBytes(haystack, start, stretchEnd + 1, state);
            return stretchEnd == lastStart ? NotFound : NextCandidate(haystack, stretchEnd + 1, lastStart, state);
        }
        const size_t found = ScanForPair(haystack, start, lastStart, anchor, anchorByte, partnerOffset, needle_[partner]);
        return found == SIZE_MAX ? NotFound : found;
    }
    const void *hit = std::memchr(haystack + start + anchor, anchorByte, lastStart - start + 1);
    return hit ? static_cast<size_t>(static_cast<const uint8_t *>(hit) - haystack) - anchor : NotFound;
}

// The byte at the anchor looked for alone, the partner checked at each
// hit. Where hits without the partner come more often than once in
// LoneSpacing positions, the pair scan takes over for good.
template <typename Equality>
size_t SubstringSearch<Equality>::NextLoneCandidate(const uint8_t *haystack, size_t start, size_t lastStart,
                                                    State &state) const
{
    const size_t anchor = static_cast<size_t>(state.anchor), partner = static_cast<size_t>(state.partner);
    while (start <= lastStart) {
        const size_t hit = ScanForByte(haystack, start, lastStart, anchor, needle_[anchor]);
        if (hit == SIZE_MAX) {
            state.alonePassed += lastStart + 1 - start;
            return NotFound;
        }
        state.alonePassed += hit + 1 - start;
        if (haystack[hit + partner] == needle_[partner])
            return hit;
        start = hit + 1;
        if (++state.aloneMisses >= LoneMissesJudged && state.aloneMisses * LoneSpacing > state.alonePassed) {
            state.alone = false;
            return NextCandidate(haystack, start, lastStart, state);
        }
    }
    return NotFound;
}

// Counts the anchor's and the partner's bytes at candidate positions [from,
// to), a stretch that held no pair, and looks for the rarer alone from now
// on if it is rare enough.
template <typename Equality>
void SubstringSearch<Equality>::CountLoneBytes(const uint8_t *haystack, size_t from, size_t to, State &state) const
{
    state.counted = true;
    const uint8_t *anchorAt = haystack + state.anchor, *partnerAt = haystack + state.partner;
    const uint8_t anchorByte = needle_[state.anchor], partnerByte = needle_[state.partner];
    size_t anchors = 0, partners = 0;
    for (size_t p = from; p < to; ++p) {
        anchors += anchorAt[p] == anchorByte;
        partners += partnerAt[p] == partnerByte;
    }
    if (std::min(anchors, partners) * LoneSpacing > to - from)
        return;
    state.alone = true;
    if (partners < anchors)
        std::swap(state.anchor, state.partner);
}

// How many positions of `to - from` starting at `from` hold both the
// needle's byte at `first` and its byte at `second`.
template <typename Equality>
size_t SubstringSearch<Equality>::CountPairs(const uint8_t *haystack, size_t from, size_t to, ptrdiff_t first,
                                             ptrdiff_t second) const
{
    const uint8_t a = needle_[first], b = needle_[second];
    size_t count = 0;
    for (size_t p = from; p < to; ++p)
        count += haystack[p + static_cast<size_t>(first)] == a && haystack[p + static_cast<size_t>(second)] == b;
    return count;
}

// Chooses the anchor and its partner from the bytes at candidate positions
// [from, to): the anchor is the needle byte seen least there (among the
// first few thousand of the needle's bytes), the partner the one of the
// next rarest seen least often beside it. Bytes that fold away stay out,
// as in the first choice.
template <typename Equality>
void SubstringSearch<Equality>::ChooseFromData(const uint8_t *haystack, size_t from, size_t to, State &state) const
{
    state.chosenFromData = true;
    uint32_t counts[256] = {};
    for (size_t p = from; p < to; ++p)
        ++counts[haystack[p]];
    constexpr int Considered = 8;
    ptrdiff_t rarest[Considered];
    int found = 0;
    const ptrdiff_t looked = std::min<ptrdiff_t>(length_, 4096);
    for (ptrdiff_t i = 0; i < looked; ++i) {
        if (Equality::FoldsAway(needle_[i]))
            continue;
        int at = found < Considered ? found++ : Considered;
        while (at > 0 && counts[needle_[rarest[at - 1]]] > counts[needle_[i]]) {
            if (at < Considered)
                rarest[at] = rarest[at - 1];
            --at;
        }
        if (at < Considered)
            rarest[at] = i;
    }
    if (found < 2)
        return;
    ptrdiff_t best = -1;
    size_t bestCount = SIZE_MAX;
    for (int k = 1; k < found; ++k) {
        size_t together = CountPairs(haystack, from, to, rarest[0], rarest[k]);
        if (together < bestCount) {
            bestCount = together;
            best = rarest[k];
        }
    }
    state.anchor = rarest[0];
    state.partner = best;
    // The new bytes are counted afresh.
    state.counted = state.alone = false;
    state.aloneMisses = state.alonePassed = 0;
}

template <typename Equality>
size_t SubstringSearch<Equality>::FindByTwoWay(const uint8_t *haystack, size_t length) const
{
    return length < static_cast<size_t>(length_) ? NotFound : twoWay_.FindIn(haystack, length);
}

template <typename Equality>
size_t SubstringSearch<Equality>::FindIn(const uint8_t *haystack, size_t length) const
{
    State state = Begin();
    return FindIn(haystack, length, state);
}

template <typename Equality>
size_t SubstringSearch<Equality>::FindIn(const uint8_t *haystack, size_t length, State &state) const
{
    const size_t m = static_cast<size_t>(length_);
    if (m == 0 || length < m)
        return NotFound;
    if (state.anchor < 0)
        return FindByTwoWay(haystack, length);

    const size_t lastStart = length - m;
    // Verification may cost this many bytes per byte passed over before
    // the search hands over to the two-way algorithm.
    constexpr size_t WorkPerByte = 4;
    constexpr size_t WorkAllowance = 256;
    // A scan that stops more often than once in this many bytes loses much
    // of its speed: after that many stops the two bytes are chosen anew
    // from the bytes passed over, at most this many of them.
    constexpr size_t StopSpacing = 2048;
    constexpr size_t StopAllowance = 32;
    constexpr size_t SampleSize = 65536;
    size_t work = 0, stops = 0;
    size_t start = 0;
    while (start <= lastStart) {
        size_t candidate = NextCandidate(haystack, start, lastStart, state);
        if (candidate == NotFound)
            return NotFound;
        size_t i = 0;
        while (i < m && Same(needle_[i], haystack[candidate + i]))
            ++i;
        if (i == m)
            return candidate;
        start = candidate + 1;
        work += i + 1;
        if (++stops >= StopAllowance && !state.chosenFromData && state.partner >= 0 && stops * StopSpacing > start) {
            ChooseFromData(haystack, start > SampleSize ? start - SampleSize : 0, start, state);
            continue;
        }
        if (work > WorkAllowance + WorkPerByte * start) {
            size_t found = FindByTwoWay(haystack + start, length - start);
            return found == NotFound ? NotFound : start + found;
        }
    }
    return NotFound;
}

template class SubstringSearch<ExactBytes>;
template class SubstringSearch<AsciiCaseFolded>;

namespace {

template <typename Equality>
const uint8_t *FindPattern(const uint8_t *start, const char *pattern, const uint8_t *end)
{
    size_t length = std::strlen(pattern);
    if (length == 0 || start >= end || static_cast<size_t>(end - start) < length)
        return nullptr;
    SubstringSearch<Equality> search(reinterpret_cast<const uint8_t *>(pattern), length);
    size_t found = search.FindIn(start, static_cast<size_t>(end - start));
    return found == SubstringSearch<Equality>::NotFound ? nullptr : start + found;
}

}  // namespace

const uint8_t *FindBytes(const uint8_t *start, const char *pattern, const uint8_t *end)
{
    return FindPattern<ExactBytes>(start, pattern, end);
}

const uint8_t *FindBytesNoCase(const uint8_t *start, const char *pattern, const uint8_t *end)
{
    return FindPattern<AsciiCaseFolded>(start, pattern, end);
}

bool ContainsBytes(const uint8_t *haystack, int32_t haystackLength, const uint8_t *needle,
                   int32_t needleLength)
{
    if (needleLength <= 0)
        return true;
    if (haystackLength < needleLength)
        return false;
    SubstringSearch<ExactBytes> search(needle, static_cast<size_t>(needleLength));
    return search.FindIn(haystack, static_cast<size_t>(haystackLength)) != SubstringSearch<ExactBytes>::NotFound;
}

}  // namespace dorvan
