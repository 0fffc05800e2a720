
#include "dictionary/dictionary_records.h"

#include <cstring>

namespace dorvan {

namespace {

void MoveDown(uint8_t *block, int32_t to, int32_t from, int32_t count)
{
    if (count > 0 && to != from)
        std::memmove(block + to, block + from, static_cast<size_t>(count));
}

}  // namespace

bool FindNextRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record)
{
    if (from >= length)
        return false;
    const uint8_t *found = FindBytes(data + from, DictionaryRecord::Tag, data + length);
    if (!found)
        return false;
    record.tag = static_cast<int32_t>(found - data);
    record.end = DictionaryRecord::EndOf(data, length, record.tag);
    record.coveredEnd = record.end < length ? static_cast<int32_t>(record.end) : length;
    return true;
}

// One pass with a read position over the original bytes and a write
// position behind it. The search for the next tag always starts where the
// original bytes that follow the last record begin, so it sees exactly the
// bytes it would see had each removed record's tail been moved down at
// once, and the result is the same byte for byte.
RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, ByteMatcher matcher)
{
    int32_t write = 0;     // bytes of the result so far
    int32_t keptFrom = 0;  // first original byte not yet moved into the result
    bool removed = false;

    RecordSpan record;
    for (int32_t from = 0; FindNextRecord(block, length, from, record); from = record.coveredEnd) {
        if (matcher(block + record.tag, name, block + record.coveredEnd)) {
            removed = true;
            MoveDown(block, write, keptFrom, record.tag - keptFrom);
            write += record.tag - keptFrom;
            keptFrom = record.coveredEnd;
        }
    }

    MoveDown(block, write, keptFrom, length - keptFrom);
    write += length - keptFrom;
    return {write, removed};
}

}  // namespace dorvan
