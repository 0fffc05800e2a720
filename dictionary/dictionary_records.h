// The dictionary's records, as far as the library reads them: the record
// layout, the walk from record to record, and the removal of the records
// that name a map file.
#pragma once

#include <cstdint>

#include "bytes/byte_search.h"

namespace dorvan {

struct DictionaryRecord {
    static constexpr char Tag[] = "LBTG";     // 4 ASCII bytes, no terminator in the file
    static constexpr int32_t TagSize = 4;
    static constexpr int32_t LengthOffset = 4;  // one unsigned byte L
    static constexpr int32_t FixedSpan = 8;     // a record spans L + 8 bytes from its tag

    // End of the record whose tag is at `tag` in data of `dataLength`
    // bytes. A tag with no length byte inside the data reaches the end of
    // the data; otherwise the end may lie beyond it.
    static int64_t EndOf(const uint8_t *data, int32_t dataLength, int32_t tag)
    {
        if (tag + LengthOffset >= dataLength)
            return dataLength;
        return int64_t{tag} + FixedSpan + data[tag + LengthOffset];
    }
};

// A record as the walk finds it: the offset of its tag, where its L + 8
// bytes end (possibly past the end of the data), and where the part of it
// inside the data ends.
struct RecordSpan {
    int32_t tag;
    int64_t end;
    int32_t coveredEnd;
};

// The first record whose tag lies at or after `from` in data of `length`
// bytes; false when no tag follows. The walk from record to record starts
// each search where the record before covers the data up to, so the bytes
// of one record are never taken for the tag of another.
bool FindNextRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record);

// The offset of the first record that runs past the end of the data (a
// dictionary cut short), or -1 when every record ends within it.
int32_t FirstRecordCutShort(const uint8_t *data, int32_t length);

// Whether the data is records and nothing else, each whole and each
// starting where the one before ends, from the first byte to the last, and
// at least one of them names `name` exactly: what a map set's entry is.
bool IsWholeRecordsNaming(const uint8_t *data, int32_t length, const char *name);

// Whether `name` (at most 64 bytes) would still occur byte for byte in the
// data once every record naming it is cut out: named outside any record,
// across the places where cut records joined the bytes around them too.
bool NamedOutsideRecords(const uint8_t *data, int32_t length, const char *name);

// How a name is matched inside a record: byte for byte, or with ASCII
// letters in either case.
enum class NameMatching { Exact, AnyAsciiCase };

// One walk's searches, prepared once: for the tag, and for `name` (not
// copied: it must outlive the scan), so that no record pays for preparing
// them again.
class RecordScan {
public:
    RecordScan(const char *name, NameMatching matching);

    // As FindNextRecord.
    bool NextRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record) const;

    // The first record from `from` on in which the name occurs, searched
    // only inside the record and never past the end of the data. An empty
    // name occurs in none.
    bool NextMatchingRecord(const uint8_t *data, int32_t length, int32_t from, RecordSpan &record) const;

private:
    SubstringSearch<ExactBytes> tag_;
    SubstringSearch<ExactBytes> exactName_;
    SubstringSearch<AsciiCaseFolded> foldedName_;
    size_t nameLength_;
    NameMatching matching_;
};

// Cuts out of the block, in one pass, `first` (the first record that the
// scan's NextMatchingRecord finds from offset 0) and every later record in
// which the name occurs; returns the new length. Bytes before `first` are
// not touched; bytes outside records and records that do not match keep
// their order and bytes. A matching record that runs past the end of the
// data cuts the data at its tag. The block never grows.
int32_t RemoveMatchingRecordsFrom(uint8_t *block, int32_t length, const RecordSpan &first, const RecordScan &scan);

struct RemovalResult {
    int32_t newLength;
    bool removed;  // at least one record named the map set
};

// Both steps at once.
RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, NameMatching matching);

}  // namespace dorvan
