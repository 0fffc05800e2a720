// Record removal against the step-by-step model, both matchers.
// Input: one byte giving the name's length, the name, then the data.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dictionary/byte_search.h"
#include "dictionary/record_removal.h"
#include "reference_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    if (size < 1)
        return 0;
    size_t nameLength = input[0] % 16;
    if (nameLength > size - 1)
        nameLength = size - 1;
    std::string name(reinterpret_cast<const char *>(input + 1), nameLength);
    for (char &c : name)
        if (c == '\0')
            c = 'G';
    dorvan::test::Bytes data(input + 1 + nameLength, input + size);
    for (bool fold : {false, true}) {
        dorvan::test::ReferenceRemoval expected = dorvan::test::ReferenceRemoveRecords(data, name, fold);
        dorvan::test::Bytes block = data;
        dorvan::RemovalResult got = dorvan::RemoveMatchingRecords(
            block.data(), static_cast<int32_t>(block.size()), name.c_str(),
            fold ? dorvan::FindBytesNoCase : dorvan::FindBytes);
        block.resize(static_cast<size_t>(got.newLength));
        if (got.removed != expected.removed || block != expected.data)
            std::abort();
    }
    return 0;
}
