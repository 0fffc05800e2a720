// Record removal against the step-by-step model, both matchers, and the
// test for a name left outside records against the removal itself.
// Input: one byte giving the name's length, the name, then the data.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bytes/byte_search.h"
#include "dictionary/dictionary_records.h"
#include "fuzz_input.h"
#include "reference_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const uint8_t *rest = input, *end = input + size;
    const std::string name = dorvan::fuzz::TakeString(&rest, end, 15, 'G');
    dorvan::test::Bytes data(rest, end);
    for (bool fold : {false, true}) {
        dorvan::test::ReferenceRemoval expected = dorvan::test::ReferenceRemoveRecords(data, name, fold);
        dorvan::test::Bytes block = data;
        dorvan::RemovalResult got = dorvan::RemoveMatchingRecords(
            block.data(), static_cast<int32_t>(block.size()), name.c_str(),
            fold ? dorvan::NameMatching::AnyAsciiCase : dorvan::NameMatching::Exact);
        block.resize(static_cast<size_t>(got.newLength));
        if (got.removed != expected.removed || block != expected.data)
            std::abort();
        // What an unregistration refuses: the name left once its records are cut.
        const dorvan::test::Bytes needle(name.begin(), name.end());
        const bool left =
            !needle.empty() && std::search(block.begin(), block.end(), needle.begin(), needle.end()) != block.end();
        if (!fold && dorvan::NamedOutsideRecords(data.data(), static_cast<int32_t>(data.size()), name.c_str()) != left)
            std::abort();
    }
    return 0;
}
