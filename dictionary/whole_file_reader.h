#pragma once

#include <cstdint>

#include "dictionary/resource_guards.h"
#include "platform/file_access.h"

namespace dorvan {

// A file read whole into one heap block, its handle still open and
// positioned at the end.
struct WholeFile {
    FileHandle handle;
    HeapBlock block;
    int32_t length = 0;

    bool IsRead() const { return handle.IsOpen(); }
    const uint8_t *begin() const { return block.get(); }
    const uint8_t *end() const { return block.get() + length; }
};

// Opens `path` with `mode` and reads it whole. On failure nothing stays
// acquired, and when `owner` is not null the failure is shown: message 20
// (cannot open), 21 (no memory) or 22 (length unknown, beyond the 32-bit
// range, or the file shorter than its length).
WholeFile ReadWholeFile(void *owner, const char *path, platform::FileMode mode);

}  // namespace dorvan
