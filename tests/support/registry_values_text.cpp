#include "registry_values_text.h"

namespace dorvan::platform {

std::vector<StoredValue> ParseValuesFile(std::string_view text)
{
    std::vector<StoredValue> values;
    std::vector<uint8_t> scratch(text.size());
    const char *cursor = text.data(), *end = text.data() + text.size(), *line = nullptr;
    size_t length = 0;
    while (NextLine(&cursor, end, &line, &length)) {
        DecodedValue value;
        if (!DecodeValueLine(line, length, scratch.data(), &value))
            continue;
        bool known = false;
        for (const StoredValue &earlier : values)
            known = known || SameRegistryName(earlier.name, std::string_view(value.name, value.nameLength));
        if (!known)
            values.push_back({std::string(value.name, value.nameLength), value.type,
                              std::string(reinterpret_cast<const char *>(value.data), value.dataLength)});
    }
    return values;
}

std::string FormatValuesFile(const std::vector<StoredValue> &values)
{
    std::string out = ValuesFileHeader;
    for (const StoredValue &value : values) {
        std::string line(ValueLineLimit(value.name.size(), value.data.size()), '\0');
        DecodedValue decoded{value.name.data(), value.name.size(), value.type,
                             reinterpret_cast<const uint8_t *>(value.data.data()), value.data.size()};
        line.resize(FormatValueLine(line.data(), decoded));
        out += line;
    }
    return out;
}

}  // namespace dorvan::platform
