// FindBytes and FindBytesNoCase against the candidate-by-candidate model.
// Input: one byte giving the pattern's length, the pattern, then the data.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dictionary/byte_search.h"
#include "reference_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    if (size < 1)
        return 0;
    size_t patternLength = input[0] % 64;
    if (patternLength > size - 1)
        patternLength = size - 1;
    std::string pattern(reinterpret_cast<const char *>(input + 1), patternLength);
    for (char &c : pattern)
        if (c == '\0')
            c = 'a';  // patterns are zero-terminated
    const uint8_t *start = input + 1 + patternLength, *end = input + size;
    for (bool fold : {false, true}) {
        const uint8_t *expected = dorvan::test::ReferenceFind(start, pattern.c_str(), end, fold);
        const uint8_t *got = fold ? dorvan::FindBytesNoCase(start, pattern.c_str(), end)
                                  : dorvan::FindBytes(start, pattern.c_str(), end);
        if (expected != got)
            std::abort();
    }
    const bool contained = dorvan::ContainsBytes(start, static_cast<int32_t>(end - start),
                                                 input + 1, static_cast<int32_t>(patternLength));
    const bool reference = patternLength == 0 ||
                           std::string(reinterpret_cast<const char *>(start), static_cast<size_t>(end - start))
                                   .find(std::string(reinterpret_cast<const char *>(input + 1), patternLength)) !=
                               std::string::npos;
    if (contained != reference)
        std::abort();
    return 0;
}
