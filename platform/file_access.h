// The narrow seam through which the library reaches files and memory.
// One implementation per platform; the rest of the library never touches
// the operating system directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvan::platform {

// Open modes. Every file is binary; no mode truncates or appends by itself.
enum class FileMode {
    ReadWrite,  // dictionary to be read and rewritten: no creation
    ReadOnly,   // any file that is only read: no creation
    CreateNew,  // new backup copy: write only, created exclusively, writable
};

enum class SeekOrigin { Start, End };

constexpr int NoFile = -1;

// Why an open failed; only the backup copy needs to tell these apart.
enum class OpenFailure { None, NameTaken, Other };

// Returns a handle, or NoFile. `failure` (optional) says why it failed.
int FileOpen(const char *path, FileMode mode, OpenFailure *failure = nullptr);
// One read or write call: the count transferred (possibly short), or -1.
int32_t FileRead(int handle, void *buffer, int32_t count);
int32_t FileWrite(int handle, const void *buffer, int32_t count);
// The new position, or -1.
int32_t FileSeek(int handle, int32_t offset, SeekOrigin origin);
// Cuts or extends the file to `length` bytes.
bool FileResize(int handle, int32_t length);
bool FileClose(int handle);
// Length of an open file, 64-bit so that files beyond the 32-bit range are
// recognised; -1 when it cannot be found.
int64_t FileLength(int handle);
bool FileExists(const char *path);

// The separator appended when composing a path on this platform.
extern const char PathSeparator;

// Writes `number` as "%03u" with the run-time library's own sprintf; `out`
// holds at least 11 bytes.
void FormatBackupNumber(char *out, uint32_t number);

// Heap blocks for whole-file contents and search buffers.
void *MemoryAllocate(size_t size);
void MemoryRelease(void *block);

}  // namespace dorvan::platform
