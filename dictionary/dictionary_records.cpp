
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

bool FindMatchingRecord(const uint8_t *data, int32_t length, int32_t from, const char *name, ByteMatcher matcher,
                        RecordSpan &record)
{
    for (; FindNextRecord(data, length, from, record); from = record.coveredEnd) {
        if (matcher(data + record.tag, name, data + record.coveredEnd))
            return true;
    }
    return false;
}

// One pass with a read position over the original bytes and a write
// position behind it. The search for the next tag always starts where the
// original bytes that follow the last record begin, so it sees exactly the
// bytes it would see had each removed record's tail been moved down at
// once, and the result is the same byte for byte.
int32_t RemoveMatchingRecordsFrom(uint8_t *block, int32_t length, const RecordSpan &first, const char *name,
                                  ByteMatcher matcher)
{
    int32_t write = first.tag;            // bytes of the result so far
    int32_t keptFrom = first.coveredEnd;  // first original byte not yet moved into the result
    RecordSpan record;
    while (FindMatchingRecord(block, length, keptFrom, name, matcher, record)) {
        MoveDown(block, write, keptFrom, record.tag - keptFrom);
        write += record.tag - keptFrom;
        keptFrom = record.coveredEnd;
    }
    MoveDown(block, write, keptFrom, length - keptFrom);
    return write + (length - keptFrom);
}

RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, ByteMatcher matcher)
{
    RecordSpan first;
    if (!FindMatchingRecord(block, length, 0, name, matcher, first))
        return {length, false};
    return {RemoveMatchingRecordsFrom(block, length, first, name, matcher), true};
}

}  // namespace dorvan
