// The portable registry's reader on any text: no crash, and what it reads
// is written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry_values_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    using namespace dorvan::platform;
    std::vector<StoredValue> values = ParseValuesFile(std::string_view(reinterpret_cast<const char *>(input), size));
    std::vector<StoredValue> again = ParseValuesFile(FormatValuesFile(values));
    if (again.size() != values.size())
        std::abort();
    for (size_t i = 0; i < values.size(); ++i)
        if (again[i].name != values[i].name || again[i].type != values[i].type || again[i].data != values[i].data)
            std::abort();
    return 0;
}
