// The candidate scans, one kernel for each vector tier, and the choice of
// the widest that may run.
#include "bytes/scan_tiers.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <immintrin.h>
#define DORVAN_PAIR_SCAN_SSE2 1
#endif

namespace dorvan {

namespace {

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

// The first of the 128 positions from p that holds the pair, where
// ScanPairsWidest found one. Its masks are compared anew here, so that the
// scan's loop holds them in mask registers alone: 32-bit code can move a
// 64-bit mask out only through memory.
__attribute__((target("avx512bw"), noinline)) size_t FirstPairOf128(const uint8_t *haystack, size_t p,
                                                                  size_t firstOffset, uint8_t first,
                                                                  size_t secondOffset, uint8_t second)
{
    const __m512i firstBytes = _mm512_set1_epi8(static_cast<char>(first));
    const __m512i secondBytes = _mm512_set1_epi8(static_cast<char>(second));
    const __mmask64 low = PairMask(haystack, p, firstOffset, firstBytes, secondOffset, secondBytes);
    if (low)
        return p + static_cast<size_t>(__builtin_ctzll(low));
    const __mmask64 high = PairMask(haystack, p + 64, firstOffset, firstBytes, secondOffset, secondBytes);
    return p + 64 + static_cast<size_t>(__builtin_ctzll(high));
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
        if (_kortestz_mask64_u8(low, high))
            continue;
        *found = true;
        return FirstPairOf128(haystack, p, firstOffset, first, secondOffset, second);
    }
    *found = false;
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

// The scans for one byte: the first position p from `start` on with
// haystack[p + offset] == byte, a whole step at a time, as the pair scans
// answer. Where a step holds the byte, its position is found by comparing
// anew 16 positions at a time, so that the loops keep their compares in
// registers.
__attribute__((target("sse2"), noinline)) size_t FirstByteFrom(const uint8_t *haystack, size_t p, uint8_t byte)
{
    const __m128i bytes = _mm_set1_epi8(static_cast<char>(byte));
    for (;; p += 16) {
        const int mask =
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(haystack + p)), bytes));
        if (mask)
            return p + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
}

// 256 positions a step, the masks tested in the mask registers.
__attribute__((target("avx512bw"))) size_t ScanByteWidest(const uint8_t *haystack, size_t start, size_t lastStart,
                                                       size_t offset, uint8_t byte, bool *found)
{
    const __m512i bytes = _mm512_set1_epi8(static_cast<char>(byte));
    const uint8_t *at = haystack + offset;
    size_t p = start;
    for (; p + 255 <= lastStart; p += 256) {
        const __mmask64 low = _kor_mask64(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at + p), bytes),
                                          _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at + p + 64), bytes));
        const __mmask64 high = _kor_mask64(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at + p + 128), bytes),
                                           _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at + p + 192), bytes));
        if (_kortestz_mask64_u8(low, high))
            continue;
        *found = true;
        return FirstByteFrom(at, p, byte);
    }
    *found = false;
    return p;
}

__attribute__((target("avx2"))) inline __m256i ByteMatches(const uint8_t *at, __m256i bytes)
{
    return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(at)), bytes);
}

__attribute__((target("sse2"))) inline __m128i ByteMatches(const uint8_t *at, __m128i bytes)
{
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)), bytes);
}

// 128 positions a step.
__attribute__((target("avx2"))) size_t ScanByteWide(const uint8_t *haystack, size_t start, size_t lastStart,
                                                    size_t offset, uint8_t byte, bool *found)
{
    const __m256i bytes = _mm256_set1_epi8(static_cast<char>(byte));
    const uint8_t *at = haystack + offset;
    size_t p = start;
    for (; p + 127 <= lastStart; p += 128) {
        const __m256i any = _mm256_or_si256(_mm256_or_si256(ByteMatches(at + p, bytes), ByteMatches(at + p + 32, bytes)),
                                            _mm256_or_si256(ByteMatches(at + p + 64, bytes), ByteMatches(at + p + 96, bytes)));
        if (_mm256_testz_si256(any, any))
            continue;
        *found = true;
        return FirstByteFrom(at, p, byte);
    }
    *found = false;
    return p;
}

// 64 positions a step.
__attribute__((target("sse2"))) size_t ScanByte(const uint8_t *haystack, size_t start, size_t lastStart,
                                                size_t offset, uint8_t byte, bool *found)
{
    const __m128i bytes = _mm_set1_epi8(static_cast<char>(byte));
    const uint8_t *at = haystack + offset;
    size_t p = start;
    for (; p + 63 <= lastStart; p += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(ByteMatches(at + p, bytes), ByteMatches(at + p + 16, bytes)),
                                         _mm_or_si128(ByteMatches(at + p + 32, bytes), ByteMatches(at + p + 48, bytes)));
        if (!_mm_movemask_epi8(any))
            continue;
        *found = true;
        return FirstByteFrom(at, p, byte);
    }
    *found = false;
    return p;
}
#endif

}  // namespace

bool PairScanUsable()
{
#ifdef DORVAN_PAIR_SCAN_SSE2
    return HasCpuFeature(CpuSse2);
#else
    return false;
#endif
}

size_t ScanForPair(const uint8_t *haystack, size_t start, size_t lastStart, size_t firstOffset, uint8_t first,
                   size_t secondOffset, uint8_t second)
{
#ifdef DORVAN_PAIR_SCAN_SSE2
    bool found = false;
    // Two loads a block, the second's compare masked by the first's: on
    // processors that double-pump 512-bit work, loading each block once and
    // shifting the masks into line costs a third more than the second load,
    // which hits the line the first brought in.
    if (HasCpuFeature(CpuAvx512)) {
        start = ScanPairsWidest(haystack, start, lastStart, firstOffset, first, secondOffset, second, &found);
        if (found)
            return start;
    }
    if (HasCpuFeature(CpuAvx2)) {
        start = ScanPairsWide(haystack, start, lastStart, firstOffset, first, secondOffset, second, &found);
        if (found)
            return start;
    }
    start = ScanPairs(haystack, start, lastStart, firstOffset, first, secondOffset, second, &found);
    if (found)
        return start;
#endif
    for (; start <= lastStart; ++start)
        if (haystack[start + firstOffset] == first && haystack[start + secondOffset] == second)
            return start;
    return SIZE_MAX;
}

size_t ScanForByte(const uint8_t *haystack, size_t start, size_t lastStart, size_t offset, uint8_t byte)
{
#ifdef DORVAN_PAIR_SCAN_SSE2
    bool found = false;
    if (HasCpuFeature(CpuAvx512)) {
        start = ScanByteWidest(haystack, start, lastStart, offset, byte, &found);
        if (found)
            return start;
    }
    if (HasCpuFeature(CpuAvx2)) {
        start = ScanByteWide(haystack, start, lastStart, offset, byte, &found);
        if (found)
            return start;
    }
    start = ScanByte(haystack, start, lastStart, offset, byte, &found);
    if (found)
        return start;
#endif
    for (; start <= lastStart; ++start)
        if (haystack[start + offset] == byte)
            return start;
    return SIZE_MAX;
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
