#include "search/substring_search.h"

#include <algorithm>
#include <cstring>

namespace dorvan {

namespace {

// How often a byte is expected in dictionaries, text and binary files:
// the higher, the rarer. Only a guess; a wrong one costs speed, never
// correctness.
int Rarity(uint8_t byte)
{
    if (byte == 0x00 || byte == 0xFF)
        return 0;
    if (byte == ' ')
        return 1;
    if (std::strchr("etaoinsrhl", byte) && byte != '\0')
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

    // Critical factorisation for the two-way algorithm.
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
size_t SubstringSearch<Equality>::FindIn(const uint8_t *haystack, size_t length) const
{
    const size_t m = static_cast<size_t>(length_);
    if (m == 0 || length < m)
        return NotFound;
    if (anchor_ < 0)
        return FindByTwoWay(haystack, length);

    const size_t lastStart = length - m;
    const size_t anchor = static_cast<size_t>(anchor_);
    const uint8_t anchorByte = needle_[anchor];
    // Verification may cost this many bytes per byte passed over before
    // the search hands over to the two-way algorithm.
    constexpr size_t WorkPerByte = 4;
    constexpr size_t WorkAllowance = 256;
    size_t work = 0;
    size_t start = 0;
    while (start <= lastStart) {
        const void *hit = std::memchr(haystack + start + anchor, anchorByte, lastStart - start + 1);
        if (!hit)
            return NotFound;
        size_t candidate = static_cast<size_t>(static_cast<const uint8_t *>(hit) - haystack) - anchor;
        size_t i = 0;
        while (i < m && Same(needle_[i], haystack[candidate + i]))
            ++i;
        if (i == m)
            return candidate;
        start = candidate + 1;
        work += i + 1;
        if (work > WorkAllowance + WorkPerByte * start) {
            size_t found = FindByTwoWay(haystack + start, length - start);
            return found == NotFound ? NotFound : start + found;
        }
    }
    return NotFound;
}

template class SubstringSearch<ExactBytes>;
template class SubstringSearch<AsciiCaseFolded>;

}  // namespace dorvan
