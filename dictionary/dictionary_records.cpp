
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

RecordScan::RecordScan(const char *name, NameMatching matching)
    : tag_(reinterpret_cast<const uint8_t *>(DictionaryRecord::Tag), DictionaryRecord::TagSize),
      exactName_(reinterpret_cast<const uint8_t *>(name), matching == NameMatching::Exact ? std::strlen(name) : 0),
      foldedName_(reinterpret_cast<const uint8_t *>(name),
                  matching == NameMatching::AnyAsciiCase ? std::strlen(name) : 0),
      nameLength_(std::strlen(name)), matching_(matching)
{
}

bool RecordScan::NextRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record) const
{
    if (from >= length)
        return false;
    // Records usually follow one another with nothing between them.
    const size_t found = length - from >= DictionaryRecord::TagSize &&
                                 std::memcmp(data + from, DictionaryRecord::Tag, DictionaryRecord::TagSize) == 0
                             ? 0
                             : tag_.FindIn(data + from, static_cast<size_t>(length - from));
    if (found == SubstringSearch<ExactBytes>::NotFound)
        return false;
    record.tag = from + static_cast<int32_t>(found);
    record.end = DictionaryRecord::EndOf(data, length, record.tag);
    record.coveredEnd = record.end < length ? static_cast<int32_t>(record.end) : length;
    return true;
}

int32_t FirstRecordCutShort(const uint8_t *data, int32_t length)
{
    const RecordScan scan("", NameMatching::Exact);
    RecordSpan record;
    for (int32_t from = 0; scan.NextRecord(data, length, from, record); from = record.coveredEnd) {
        if (record.end > length)
            return record.tag;
    }
    return -1;
}

bool IsWholeRecordsNaming(const uint8_t *data, int32_t length, const char *name)
{
    const RecordScan scan(name, NameMatching::Exact);
    RecordSpan record;
    int32_t from = 0;
    for (; from < length; from = record.coveredEnd) {
        if (!scan.NextRecord(data, length, from, record) || record.tag != from || record.end > length)
            return false;
    }
    return length > 0 && scan.NextMatchingRecord(data, length, 0, record);
}

bool NamedOutsideRecords(const uint8_t *data, int32_t length, const char *name)
{
    const RecordScan scan(name, NameMatching::Exact);
    const auto *needle = reinterpret_cast<const uint8_t *>(name);
    const int32_t size = static_cast<int32_t>(std::strlen(name));
    if (size == 0 || size > 64)
        return false;
    // The last bytes kept so far, less than the name's length, and the
    // window across each join, on the stack: no memory a query may lack.
    uint8_t tail[64], window[128];
    int32_t tailLength = 0;
    RecordSpan record;
    for (int32_t from = 0; from < length;) {
        const bool cut = scan.NextMatchingRecord(data, length, from, record);
        const int32_t gapEnd = cut ? record.tag : length, gap = gapEnd - from;
        const int32_t head = gap < size - 1 ? gap : size - 1;
        std::memcpy(window, tail, static_cast<size_t>(tailLength));
        std::memcpy(window + tailLength, data + from, static_cast<size_t>(head));
        if (ContainsBytes(window, tailLength + head, needle, size) || ContainsBytes(data + from, gap, needle, size))
            return true;
        // The kept bytes' last size - 1, from the old tail and this gap.
        const int32_t joined = tailLength + gap, keep = joined < size - 1 ? joined : size - 1;
        if (gap >= keep) {
            std::memcpy(tail, data + gapEnd - keep, static_cast<size_t>(keep));
        } else {
            std::memmove(tail, tail + (tailLength - (keep - gap)), static_cast<size_t>(keep - gap));
            std::memcpy(tail + (keep - gap), data + from, static_cast<size_t>(gap));
        }
        tailLength = keep;
        from = cut ? record.coveredEnd : length;
    }
    return false;
}

bool RecordScan::NextMatchingRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record) const
{
    if (nameLength_ == 0)
        return false;
    // The name's first occurrence from a record's tag on, searched through
    // the rest of the data at once rather than record by record: a record
    // holds the name exactly when that occurrence ends inside it, and the
    // records before it need no search of their own.
    int64_t occurrence = -1;
    for (; NextRecord(data, length, from, record); from = record.coveredEnd) {
        if (occurrence < record.tag) {
            const size_t rest = static_cast<size_t>(length - record.tag);
            const size_t found = matching_ == NameMatching::Exact ? exactName_.FindIn(data + record.tag, rest)
                                                                   : foldedName_.FindIn(data + record.tag, rest);
            if (found == SubstringSearch<ExactBytes>::NotFound)
                return false;
            occurrence = record.tag + static_cast<int64_t>(found);
        }
        if (occurrence + static_cast<int64_t>(nameLength_) <= record.coveredEnd)
            return true;
    }
    return false;
}

bool FindNextRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record)
{
    return RecordScan("", NameMatching::Exact).NextRecord(data, length, from, record);
}

// One pass with a read position over the original bytes and a write
// position behind it. The search for the next tag always starts where the
// original bytes that follow the last record begin, so it sees exactly the
// bytes it would see had each removed record's tail been moved down at
// once, and the result is the same byte for byte.
int32_t RemoveMatchingRecordsFrom(uint8_t *block, int32_t length, const RecordSpan &first, const RecordScan &scan)
{
    int32_t write = first.tag;            // bytes of the result so far
    int32_t keptFrom = first.coveredEnd;  // first original byte not yet moved into the result
    RecordSpan record;
    while (scan.NextMatchingRecord(block, length, keptFrom, record)) {
        MoveDown(block, write, keptFrom, record.tag - keptFrom);
        write += record.tag - keptFrom;
        keptFrom = record.coveredEnd;
    }
    MoveDown(block, write, keptFrom, length - keptFrom);
    return write + (length - keptFrom);
}

RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, NameMatching matching)
{
    const RecordScan scan(name, matching);
    RecordSpan first;
    if (!scan.NextMatchingRecord(block, length, 0, first))
        return {length, false};
    return {RemoveMatchingRecordsFrom(block, length, first, scan), true};
}

}  // namespace dorvan
