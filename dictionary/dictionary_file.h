// Whole-file reads: a file's content in one heap block, its handle kept
// open for an edit through it.
#pragma once

#include <cstdint>

#include "platform/file_access.h"
#include "platform/memory.h"

namespace dorvan {

struct WholeFile {
    platform::FileHandle handle;
    platform::HeapBlock block;
    int32_t length = 0;

    const uint8_t *begin() const { return block.get(); }
    const uint8_t *end() const { return block.get() + length; }
};

// Opens `path` with `mode` and reads it whole into `file`. On failure
// nothing stays acquired, and the status concerns `role`: CannotOpen,
// CannotSize (length unknown or beyond the 32-bit range), NoMemory, or
// ReadFailed (a failed read, or the file shorter than its length).
Status ReadWholeFile(const char *path, platform::FileMode mode, FileRole role, WholeFile &file);
// The same of the file `name` in `folder`.
Status ReadWholeFile(int folder, const char *name, platform::FileMode mode, FileRole role, WholeFile &file);

}  // namespace dorvan
