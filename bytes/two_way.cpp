#include "bytes/two_way.h"

#include <algorithm>

#include "bytes/byte_equality.h"

namespace dorvan {

template <typename Equality>
TwoWaySearch<Equality>::TwoWaySearch(const uint8_t *needle, size_t length)
    : needle_(needle), length_(static_cast<ptrdiff_t>(length))
{
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
ptrdiff_t TwoWaySearch<Equality>::MaximalSuffix(bool reversedOrder, ptrdiff_t *period) const
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
size_t TwoWaySearch<Equality>::FindIn(const uint8_t *haystack, size_t length) const
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
    return SIZE_MAX;
}

template class TwoWaySearch<ExactBytes>;
template class TwoWaySearch<AsciiCaseFolded>;

}  // namespace dorvan
