#include "dictionary/byte_search.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <immintrin.h>
#define DORVAN_PAIR_SCAN_SSE2 1
#endif

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

// The features a search may use: all but where a test limits them.
int ScanFeatureLimit = ~0;

#ifdef DORVAN_PAIR_SCAN_SSE2
// The processor's vector extensions, found on first use in the caller's
// thread. Neither a function-local static, whose thread-safe guard would
// bring a threads library into the DLL, nor a value made at load, since the
// DLL runs no constructors: a plain value, and asking twice is harmless.
enum CpuFeature { CpuSse2 = 1, CpuAvx2 = 2, CpuAvx512 = 4, CpuKnown = 8 };
int CpuFeatureFlags = 0;

int KnownCpuFeatures()
{
    if (!(CpuFeatureFlags & CpuKnown)) {
        __builtin_cpu_init();
        CpuFeatureFlags = CpuKnown | (__builtin_cpu_supports("sse2") ? CpuSse2 : 0) |
                          (__builtin_cpu_supports("avx2") ? CpuAvx2 : 0) |
                          (__builtin_cpu_supports("avx512bw") ? CpuAvx512 : 0);
    }
    return CpuFeatureFlags;
}

bool HasCpuFeature(CpuFeature feature)
{
    return (KnownCpuFeatures() & ScanFeatureLimit & feature) != 0;
}

__attribute__((target("avx2"))) inline __m256i PairMatches(const uint8_t *haystack, size_t p, size_t firstOffset,
                                                          __m256i firstBytes, size_t secondOffset, __m256i secondBytes)
{
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(haystack + p + firstOffset));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(haystack + p + secondOffset));
    return _mm256_and_si256(_mm256_cmpeq_epi8(a, firstBytes), _mm256_cmpeq_epi8(b, secondBytes));
}

__attribute__((target("avx512bw"))) inline __mmask64 PairMask(const uint8_t *haystack, size_t p, size_t firstOffset,
                                                              __m512i firstBytes, size_t secondOffset,
                                                              __m512i secondBytes)
{
    __mmask64 firsts = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(haystack + p + firstOffset), firstBytes);
    return _mm512_mask_cmpeq_epi8_mask(firsts, _mm512_loadu_si512(haystack + p + secondOffset), secondBytes);
}

// As ScanPairsWide, 128 positions a step, each byte compared into a mask.
__attribute__((target("avx512bw"))) size_t ScanPairsWidest(const uint8_t *haystack, size_t start, size_t lastStart,
                                                        size_t firstOffset, uint8_t first, size_t secondOffset,
                                                        uint8_t second, bool *found)
{
    const __m512i firstBytes = _mm512_set1_epi8(static_cast<char>(first));
    const __m512i secondBytes = _mm512_set1_epi8(static_cast<char>(second));
    size_t p = start;
    for (; p + 127 <= lastStart; p += 128) {
        const __mmask64 low = PairMask(haystack, p, firstOffset, firstBytes, secondOffset, secondBytes);
        const __mmask64 high = PairMask(haystack, p + 64, firstOffset, firstBytes, secondOffset, secondBytes);
        if ((low | high) == 0)
            continue;
        *found = true;
        return low ? p + static_cast<size_t>(__builtin_ctzll(low)) : p + 64 + static_cast<size_t>(__builtin_ctzll(high));
    }
    *found = false;
    return p;
}

// As ScanPairsWidest for two bytes less than 64 apart, `near` before `far`
// by `distance`: each block of the haystack is loaded once and compared
// with both bytes, and the far byte's mask, shifted back by the distance
// with the next block's mask shifted in, lines up with the near one's.
__attribute__((target("avx512bw"))) size_t ScanNearPairs(const uint8_t *haystack, size_t start, size_t lastStart,
                                                      size_t nearOffset, uint8_t nearByte, size_t distance,
                                                      uint8_t farByte, bool *found)
{
    const __m512i nearBytes = _mm512_set1_epi8(static_cast<char>(nearByte));
    const __m512i farBytes = _mm512_set1_epi8(static_cast<char>(farByte));
    size_t p = start;
    *found = false;
    if (p + 127 > lastStart)
        return p;
    __m512i block = _mm512_loadu_si512(haystack + p + nearOffset);
    uint64_t nears = _mm512_cmpeq_epi8_mask(block, nearBytes), fars = _mm512_cmpeq_epi8_mask(block, farBytes);
    for (; p + 127 <= lastStart; p += 64) {
        // Loads end at most 127 bytes past p plus the near offset, inside
        // the haystack since the far byte lies `distance` further on.
        block = _mm512_loadu_si512(haystack + p + nearOffset + 64);
        const uint64_t nextNears = _mm512_cmpeq_epi8_mask(block, nearBytes);
        const uint64_t nextFars = _mm512_cmpeq_epi8_mask(block, farBytes);
        const uint64_t both = nears & ((fars >> distance) | (nextFars << (64 - distance)));
        if (both) {
            *found = true;
            return p + static_cast<size_t>(__builtin_ctzll(both));
        }
        nears = nextNears;
        fars = nextFars;
    }
    return p;
}

// The pair scans look for the first position p from `start` on with
// haystack[p + firstOffset] == first and haystack[p + secondOffset] ==
// second, a whole step at a time. `*found` tells whether they found one;
// if not, they return where the positions left, up to lastStart, became
// fewer than a step. This one takes 64 positions a step.
__attribute__((target("avx2"))) size_t ScanPairsWide(const uint8_t *haystack, size_t start, size_t lastStart,
                                                     size_t firstOffset, uint8_t first, size_t secondOffset,
                                                     uint8_t second, bool *found)
{
    const __m256i firstBytes = _mm256_set1_epi8(static_cast<char>(first));
    const __m256i secondBytes = _mm256_set1_epi8(static_cast<char>(second));
    size_t p = start;
    for (; p + 63 <= lastStart; p += 64) {
        __m256i low = PairMatches(haystack, p, firstOffset, firstBytes, secondOffset, secondBytes);
        __m256i high = PairMatches(haystack, p + 32, firstOffset, firstBytes, secondOffset, secondBytes);
        if (_mm256_testz_si256(_mm256_or_si256(low, high), _mm256_or_si256(low, high)))
            continue;
        uint64_t mask = static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
                        (static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32);
        *found = true;
        return p + static_cast<size_t>(__builtin_ctzll(mask));
    }
    *found = false;
    return p;
}

// As ScanPairsWide, 16 positions a step.
__attribute__((target("sse2"))) size_t ScanPairs(const uint8_t *haystack, size_t start, size_t lastStart,
                                                 size_t firstOffset, uint8_t first, size_t secondOffset,
                                                 uint8_t second, bool *found)
{
    const __m128i firstBytes = _mm_set1_epi8(static_cast<char>(first));
    const __m128i secondBytes = _mm_set1_epi8(static_cast<char>(second));
    size_t p = start;
    for (; p + 15 <= lastStart; p += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(haystack + p + firstOffset));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(haystack + p + secondOffset));
        int mask = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstBytes), _mm_cmpeq_epi8(b, secondBytes)));
        if (mask) {
            *found = true;
            return p + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
    *found = false;
    return p;
}
#endif

}  // namespace

template <typename Equality>
SubstringSearch<Equality>::SubstringSearch(const uint8_t *needle, size_t length)
    : needle_(needle), length_(static_cast<ptrdiff_t>(length))
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

// Computed only when a search falls back to the two-way algorithm, so a
// searcher made for one short range costs no more than the scan itself.
template <typename Equality>
void SubstringSearch<Equality>::Factorise() const
{
    factorised_ = true;
    ptrdiff_t period, reversedPeriod;
    ptrdiff_t suffix = MaximalSuffix(false, &period);
    ptrdiff_t reversedSuffix = MaximalSuffix(true, &reversedPeriod);
    if (suffix > reversedSuffix) {
        critical_ = suffix;
        period_ = period;
    } else {
        critical_ = reversedSuffix;
        period_ = reversedPeriod;
    }
    periodic_ = true;
    for (ptrdiff_t i = 0; i <= critical_; ++i) {
        if (period_ + i >= length_ || !Same(needle_[i], needle_[i + period_])) {
            periodic_ = false;
            break;
        }
    }
    if (!periodic_)
        period_ = std::max(critical_ + 1, length_ - critical_ - 1) + 1;
}

template <typename Equality>
ptrdiff_t SubstringSearch<Equality>::MaximalSuffix(bool reversedOrder, ptrdiff_t *period) const
{
    ptrdiff_t suffix = -1, j = 0, k = 1, p = 1;
    while (j + k < length_) {
        uint8_t a = Equality::Fold(needle_[j + k]);
        uint8_t b = Equality::Fold(needle_[suffix + k]);
        if (reversedOrder ? a > b : a < b) {
            j += k;
            k = 1;
            p = j - suffix;
        } else if (a == b) {
            if (k != p) {
                ++k;
            } else {
                j += p;
                k = 1;
            }
        } else {
            suffix = j;
            j = suffix + 1;
            k = p = 1;
        }
    }
    *period = p;
    return suffix;
}

template <typename Equality>
size_t SubstringSearch<Equality>::FindByTwoWay(const uint8_t *haystack, size_t length) const
{
    if (!factorised_)
        Factorise();
    const ptrdiff_t n = static_cast<ptrdiff_t>(length), m = length_;
    const uint8_t *x = needle_, *y = haystack;
    if (periodic_) {
        ptrdiff_t j = 0, memory = -1;
        while (j <= n - m) {
            ptrdiff_t i = std::max(critical_, memory) + 1;
            while (i < m && Same(x[i], y[i + j]))
                ++i;
            if (i >= m) {
                i = critical_;
                while (i > memory && Same(x[i], y[i + j]))
                    --i;
                if (i <= memory)
                    return static_cast<size_t>(j);
                j += period_;
                memory = m - period_ - 1;
            } else {
                j += i - critical_;
                memory = -1;
            }
        }
    } else {
        ptrdiff_t j = 0;
        while (j <= n - m) {
            ptrdiff_t i = critical_ + 1;
            while (i < m && Same(x[i], y[i + j]))
                ++i;
            if (i >= m) {
                i = critical_;
                while (i >= 0 && Same(x[i], y[i + j]))
                    --i;
                if (i < 0)
                    return static_cast<size_t>(j);
                j += period_;
            } else {
                j += i - critical_;
            }
        }
    }
    return NotFound;
}

template <typename Equality>
size_t SubstringSearch<Equality>::NextCandidate(const uint8_t *haystack, size_t start, size_t lastStart) const
{
    const size_t anchor = static_cast<size_t>(anchor_);
    const uint8_t anchorByte = needle_[anchor];
    // A short range, such as one record, costs more to set a vector scan up
    // for than to search with the platform's single-byte search.
    constexpr size_t ShortRange = 256;
    if (lastStart - start < ShortRange) {
        while (const void *hit = std::memchr(haystack + start + anchor, anchorByte, lastStart - start + 1)) {
            const size_t candidate = static_cast<size_t>(static_cast<const uint8_t *>(hit) - haystack) - anchor;
            if (partner_ < 0 || haystack[candidate + static_cast<size_t>(partner_)] == needle_[partner_])
                return candidate;
            if ((start = candidate + 1) > lastStart)
                break;
        }
        return NotFound;
    }
#ifdef DORVAN_PAIR_SCAN_SSE2
    if (partner_ >= 0 && HasCpuFeature(CpuSse2)) {
        const size_t partner = static_cast<size_t>(partner_);
        bool found = false;
        if (HasCpuFeature(CpuAvx512)) {
            const size_t nearOffset = std::min(anchor, partner), distance = std::max(anchor, partner) - nearOffset;
            // Shifting 64-bit masks needs 64-bit registers.
            if (distance < 64 && sizeof(void *) == 8)
                start = ScanNearPairs(haystack, start, lastStart, nearOffset, needle_[nearOffset], distance,
                                      needle_[nearOffset + distance], &found);
            else
                start = ScanPairsWidest(haystack, start, lastStart, anchor, anchorByte, partner, needle_[partner],
                                        &found);
            if (found)
                return start;
        }
        if (HasCpuFeature(CpuAvx2)) {
            start = ScanPairsWide(haystack, start, lastStart, anchor, anchorByte, partner, needle_[partner], &found);
            if (found)
                return start;
        }
        start = ScanPairs(haystack, start, lastStart, anchor, anchorByte, partner, needle_[partner], &found);
        if (found)
            return start;
        for (; start <= lastStart; ++start)
            if (haystack[start + anchor] == anchorByte && haystack[start + partner] == needle_[partner])
                return start;
        return NotFound;
    }
#endif
    const void *hit = std::memchr(haystack + start + anchor, anchorByte, lastStart - start + 1);
    return hit ? static_cast<size_t>(static_cast<const uint8_t *>(hit) - haystack) - anchor : NotFound;
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
void SubstringSearch<Equality>::ChooseFromData(const uint8_t *haystack, size_t from, size_t to) const
{
    chosenFromData_ = true;
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
    anchor_ = rarest[0];
    partner_ = best;
}

template <typename Equality>
size_t SubstringSearch<Equality>::FindIn(const uint8_t *haystack, size_t length) const
{
    const size_t m = static_cast<size_t>(length_);
    if (m == 0 || length < m)
        return NotFound;
    if (anchor_ < 0)
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
        size_t candidate = NextCandidate(haystack, start, lastStart);
        if (candidate == NotFound)
            return NotFound;
        size_t i = 0;
        while (i < m && Same(needle_[i], haystack[candidate + i]))
            ++i;
        if (i == m)
            return candidate;
        start = candidate + 1;
        work += i + 1;
        if (++stops >= StopAllowance && !chosenFromData_ && partner_ >= 0 && stops * StopSpacing > start) {
            ChooseFromData(haystack, start > SampleSize ? start - SampleSize : 0, start);
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

namespace {

int FeaturesOf(ScanTier tier)
{
#ifdef DORVAN_PAIR_SCAN_SSE2
    switch (tier) {
    case ScanTier::Portable:
        return 0;
    case ScanTier::Sse2:
        return CpuSse2;
    case ScanTier::Avx2:
        return CpuSse2 | CpuAvx2;
    case ScanTier::Avx512:
        return CpuSse2 | CpuAvx2 | CpuAvx512;
    }
#endif
    (void)tier;
    return 0;
}

}  // namespace

bool ScanTierAvailable(ScanTier tier)
{
    if (tier == ScanTier::Portable)
        return true;
#ifdef DORVAN_PAIR_SCAN_SSE2
    const int needed = FeaturesOf(tier);
    return (KnownCpuFeatures() & needed) == needed;
#else
    return false;
#endif
}

void LimitScanTier(ScanTier tier)
{
    ScanFeatureLimit = FeaturesOf(tier);
}

void LiftScanTierLimit()
{
    ScanFeatureLimit = ~0;
}

}  // namespace dorvan
