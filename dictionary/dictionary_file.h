// The dictionary's file input: guards that release handles and blocks on
// every path, reads and writes that carry on after a short transfer,
// whole-file reads, and the dictionary as an export reads it (its edits
// are in dictionary_journal.h).
#pragma once

#include <cstdint>
#include <memory>

#include "dictionary/dictionary_paths.h"
#include "platform/file_access.h"

namespace dorvan {

// Guards that release a file handle or a heap block on every path.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int handle) : handle_(handle) {}
    FileHandle(FileHandle &&other) noexcept : handle_(other.handle_) { other.handle_ = platform::NoFile; }
    FileHandle &operator=(FileHandle &&other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = platform::NoFile;
        }
        return *this;
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Close(); }

    bool IsOpen() const { return handle_ != platform::NoFile; }
    int Get() const { return handle_; }
    // False when the close failed: what was written may not have reached
    // the file.
    bool Close()
    {
        bool closed = !IsOpen() || platform::FileClose(handle_);
        handle_ = platform::NoFile;
        return closed;
    }

private:
    int handle_ = platform::NoFile;
};

struct HeapBlockRelease {
    void operator()(uint8_t *block) const { platform::MemoryRelease(block); }
};
using HeapBlock = std::unique_ptr<uint8_t[], HeapBlockRelease>;

// Reads until `count` bytes have arrived, the file ends or a read fails;
// returns the bytes that arrived. A system that hands over less than asked
// in one call is thus not taken for a short file.
int32_t ReadFully(int handle, void *buffer, int32_t count);

// Writes until `count` bytes are written or a write fails or writes
// nothing; returns the bytes written.
int32_t WriteFully(int handle, const void *buffer, int32_t count);

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

// Shows message `id` with a composed path as its insert, whole even when it
// is too long for a path buffer.
void ShowPathMessage(void *owner, unsigned id, const ComposedPath &path);

// The dictionary of a map data directory read whole and open for an edit,
// for an installer action: a missing dictionary is shown with message 19
// (whatever the owner window), a failed read by the reader when `owner` is
// not null. An edit that was interrupted earlier is rolled back first; one
// that cannot be is shown as a dictionary that cannot be opened. `path`
// receives the dictionary path for later messages.
WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, ComposedPath &path);

// An installer action's answer after it wrote the dictionary: 1, or 0
// with message 23 and the dictionary path. The caller has released the
// dictionary before.
unsigned char AnswerDictionaryWrite(void *owner, bool written, const char *path);

// The same for a service function, silent, open with `mode`: read-write
// for an edit, read-only for a query. A query also reads a dictionary whose
// interrupted edit was rolled back while its journal could not be cleared.
WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode, ComposedPath &path);

}  // namespace dorvan
