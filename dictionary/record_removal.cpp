#include "dictionary/record_removal.h"

#include <cstring>

#include "dictionary/dictionary_record.h"

namespace dorvan {

namespace {

void MoveDown(uint8_t *block, int32_t to, int32_t from, int32_t count)
{
    if (count > 0 && to != from)
        std::memmove(block + to, block + from, static_cast<size_t>(count));
}

}  // namespace

// One pass with a read position over the original bytes and a write
// position behind it. The search for the next tag always starts where the
// original bytes that follow the last record begin, so it sees exactly the
// bytes it would see had each removed record's tail been moved down at
// once, and the result is the same byte for byte.
RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, ByteMatcher matcher)
{
    const uint8_t *const dataEnd = block + length;
    int32_t write = 0;       // bytes of the result so far
    int32_t keptFrom = 0;    // first original byte not yet moved into the result
    int32_t searchFrom = 0;  // where the search for the next tag begins
    bool removed = false;

    while (searchFrom < length) {
        const uint8_t *found = FindBytes(block + searchFrom, DictionaryRecord::Tag, dataEnd);
        if (!found)
            break;
        const int32_t tag = static_cast<int32_t>(found - block);
        const int64_t recordEnd = DictionaryRecord::EndOf(block, length, tag);
        const int32_t testedEnd = recordEnd < length ? static_cast<int32_t>(recordEnd) : length;

        if (matcher(block + tag, name, block + testedEnd)) {
            removed = true;
            MoveDown(block, write, keptFrom, tag - keptFrom);
            write += tag - keptFrom;
            keptFrom = testedEnd;
        }
        searchFrom = testedEnd;
    }

    MoveDown(block, write, keptFrom, length - keptFrom);
    write += length - keptFrom;
    return {write, removed};
}

}  // namespace dorvan
