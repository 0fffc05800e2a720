#include "reference_models.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace dorvan::test {

namespace {

bool BytesMatch(uint8_t data, uint8_t pattern, bool foldCase)
{
    if (data == pattern)
        return true;
    if (!foldCase)
        return false;
    if (data >= 'A' && data <= 'Z' && data + 32 == pattern)
        return true;
    return data >= 'a' && data <= 'z' && data - 32 == pattern;
}

}  // namespace

const uint8_t *ReferenceFind(const uint8_t *start, const char *pattern, const uint8_t *end, bool foldCase)
{
    const size_t length = std::strlen(pattern);
    if (length == 0 || start >= end || static_cast<size_t>(end - start) < length)
        return nullptr;
    for (const uint8_t *candidate = start; candidate + length <= end; ++candidate) {
        size_t i = length;
        while (i > 0 && BytesMatch(candidate[i - 1], static_cast<uint8_t>(pattern[i - 1]), foldCase))
            --i;
        if (i == 0)
            return candidate;
    }
    return nullptr;
}

ReferenceRemoval ReferenceRemoveRecords(Bytes data, const std::string &name, bool foldCase)
{
    ReferenceRemoval result;
    uint8_t *block = data.data();
    uint8_t *dataEnd = block + data.size();
    const uint8_t *tag = ReferenceFind(block, "LBTG", dataEnd, false);
    while (tag) {
        uint8_t *record = const_cast<uint8_t *>(tag);
        uint8_t *recordEnd = record + 4 >= dataEnd ? dataEnd : record + 8 + record[4];
        uint8_t *testedEnd = recordEnd < dataEnd ? recordEnd : dataEnd;
        const uint8_t *next;
        if (ReferenceFind(record, name.c_str(), testedEnd, foldCase)) {
            result.removed = true;
            if (recordEnd >= dataEnd) {
                dataEnd = record;
                break;
            }
            std::memmove(record, recordEnd, static_cast<size_t>(dataEnd - recordEnd));
            dataEnd -= recordEnd - record;
            next = record;
        } else {
            next = recordEnd;
        }
        tag = next >= dataEnd ? nullptr : ReferenceFind(next, "LBTG", dataEnd, false);
    }
    data.resize(static_cast<size_t>(dataEnd - block));
    result.data = std::move(data);
    return result;
}

int32_t ReferenceFindInFile(const Bytes &file, const std::string &text, int32_t chunkSize)
{
    const int32_t length = static_cast<int32_t>(text.size());
    if (length == 0)
        return -1;
    std::vector<uint8_t> buffer(static_cast<size_t>(length - 1 + chunkSize), 0);
    int32_t remaining = static_cast<int32_t>(file.size()), processed = 0;
    while (remaining > 0) {
        int32_t chunk = remaining < chunkSize ? remaining : chunkSize;
        std::memcpy(buffer.data() + length - 1, file.data() + processed, static_cast<size_t>(chunk));
        for (int32_t position = 0; position < chunk; ++position) {
            if (buffer[static_cast<size_t>(position)] != static_cast<uint8_t>(text[0]))
                continue;
            if (std::memcmp(buffer.data() + position + 1, text.data() + 1, static_cast<size_t>(length - 1)) == 0)
                return processed - (length - 1) + position;
        }
        std::memmove(buffer.data(), buffer.data() + chunkSize, static_cast<size_t>(length - 1));
        remaining -= chunk;
        processed += chunk;
    }
    return -1;
}

}  // namespace dorvan::test
