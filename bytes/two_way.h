// The two-way string search: linear in the worst case, never looking at a
// byte more than a small fixed number of times, whatever the data. A
// search falls back to it where candidates are found too often.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan {

template <typename Equality>
class TwoWaySearch {
public:
    // The needle's critical factorisation, made at once; the needle is
    // not copied and must outlive the searcher. An empty needle is never
    // searched for.
    TwoWaySearch(const uint8_t *needle, size_t length);

    // Offset of the first occurrence in haystack[0, length), or SIZE_MAX.
    size_t FindIn(const uint8_t *haystack, size_t length) const;

private:
    bool Same(uint8_t a, uint8_t b) const { return Equality::Fold(a) == Equality::Fold(b); }
    ptrdiff_t MaximalSuffix(bool reversedOrder, ptrdiff_t *period) const;

    const uint8_t *needle_;
    ptrdiff_t length_;
    ptrdiff_t critical_ = 0;
    ptrdiff_t period_ = 1;
    bool periodic_ = false;
};

}  // namespace dorvan
