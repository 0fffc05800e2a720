// The narrow seam through which the library reaches files and memory: one
// table of functions, in the manner of a virtual file system, with one
// implementation per platform. The rest of the library calls it through
// the wrappers below and never touches the operating system directly; a
// test program puts a table of its own in place at run time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan::platform {

// Open modes. Every file is binary; no mode truncates or appends by itself.
enum class FileMode {
    ReadWrite,  // dictionary to be read and rewritten: no creation
    ReadOnly,   // any file that is only read: no creation
    CreateNew,  // new backup copy: write only, created exclusively, writable
    Journal,    // rollback journal: read and write, created when missing,
                // never through a link; not truncated by the open itself.
                // Held while open: the open fails with InUse while another
                // process holds the same journal.
};

enum class SeekOrigin { Start, End };

constexpr int NoFile = -1;

// Why an open failed, where the caller needs to tell: a backup copy's name
// taken, or a journal held by another process's edit.
enum class OpenFailure { None, NameTaken, InUse, Other };

struct FileTable {
    // A handle, or NoFile; `failure` (optional) says why it failed.
    int (*open)(const char *path, FileMode mode, OpenFailure *failure);
    // One read or write call: the count transferred (possibly short), or -1.
    int32_t (*read)(int handle, void *buffer, int32_t count);
    int32_t (*write)(int handle, const void *buffer, int32_t count);
    // The new position, or -1.
    int32_t (*seek)(int handle, int32_t offset, SeekOrigin origin);
    // Cuts or extends the file to `length` bytes.
    bool (*resize)(int handle, int32_t length);
    bool (*close)(int handle);
    // Makes what was written through the handle durable, so that it
    // survives a crash of the whole system.
    bool (*sync)(int handle);
    // Makes the names in the folder holding `path` durable: a file just
    // created or removed there keeps that state after a crash. False only
    // when the folder's own sync failed; a file system that does not sync
    // folders at all (or a platform whose file system logs its folders)
    // answers true.
    bool (*syncFolder)(const char *path);
    bool (*remove)(const char *path);
    // Length of an open file, 64-bit so that files beyond the 32-bit range
    // are recognised; -1 when it cannot be found.
    int64_t (*length)(int handle);
    bool (*exists)(const char *path);
    // Heap blocks for whole-file contents and search buffers; a block of 0
    // bytes is a valid block.
    void *(*allocate)(size_t size);
    void (*release)(void *block);
};

// The platform's table, and the one in use: the platform's, unless a test
// program has put its own in place.
extern const FileTable NativeFiles;
extern const FileTable *Files;

inline int FileOpen(const char *path, FileMode mode, OpenFailure *failure = nullptr)
{
    return Files->open(path, mode, failure);
}
inline int32_t FileRead(int handle, void *buffer, int32_t count) { return Files->read(handle, buffer, count); }
inline int32_t FileWrite(int handle, const void *buffer, int32_t count) { return Files->write(handle, buffer, count); }
inline int32_t FileSeek(int handle, int32_t offset, SeekOrigin origin) { return Files->seek(handle, offset, origin); }
inline bool FileResize(int handle, int32_t length) { return Files->resize(handle, length); }
inline bool FileClose(int handle) { return Files->close(handle); }
inline bool FileSync(int handle) { return Files->sync(handle); }
inline bool FileSyncFolder(const char *path) { return Files->syncFolder(path); }
inline bool FileRemove(const char *path) { return Files->remove(path); }
inline int64_t FileLength(int handle) { return Files->length(handle); }
inline bool FileExists(const char *path) { return Files->exists(path); }
inline void *MemoryAllocate(size_t size) { return Files->allocate(size); }
inline void MemoryRelease(void *block) { Files->release(block); }

// Heap blocks from the run-time library's allocator, for the platforms'
// tables.
void *AllocateFromRuntime(size_t size);
void ReleaseToRuntime(void *block);

// The separator appended when composing a path on this platform.
extern const char PathSeparator;

// Writes `number` as "%03u" with the run-time library's own sprintf; `out`
// holds at least 11 bytes.
void FormatBackupNumber(char *out, uint32_t number);

}  // namespace dorvan::platform
