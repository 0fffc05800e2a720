// FindBytes and FindBytesNoCase against the candidate-by-candidate model.
// Input: one byte giving the pattern's length, the pattern, then the data.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bytes/byte_search.h"
#include "fuzz_input.h"
#include "reference_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const uint8_t *start = input, *end = input + size;
    const std::string pattern = dorvan::fuzz::TakeString(&start, end, 63, 'a');
    const size_t patternLength = pattern.size();
    for (bool fold : {false, true}) {
        const uint8_t *expected = dorvan::test::ReferenceFind(start, pattern.c_str(), end, fold);
        const uint8_t *got = fold ? dorvan::FindBytesNoCase(start, pattern.c_str(), end)
                                  : dorvan::FindBytes(start, pattern.c_str(), end);
        if (expected != got)
            std::abort();
    }
    const bool contained = dorvan::ContainsBytes(start, static_cast<int32_t>(end - start),
                                                 reinterpret_cast<const uint8_t *>(pattern.data()),
                                                 static_cast<int32_t>(patternLength));
    const bool reference =
        patternLength == 0 ||
        std::string(reinterpret_cast<const char *>(start), static_cast<size_t>(end - start)).find(pattern) !=
            std::string::npos;
    if (contained != reference)
        std::abort();
    return 0;
}
