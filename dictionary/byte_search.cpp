#include "dictionary/byte_search.h"

#include <cstring>

#include "search/substring_search.h"

namespace dorvan {

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
