// The narrow seam through which the library reaches files: one table of
// functions, in the manner of a virtual file system, with one
// implementation per platform. The rest of the library calls it through
// the functions below and never touches the operating system directly; a
// test program puts a table of its own in place at run time.
#pragma once

#include <cstdint>

#include "platform/status.h"

namespace dorvan::platform {

// Open modes. Every file is binary; no mode truncates or appends by itself.
enum class FileMode {
    ReadWrite,  // dictionary to be read and rewritten: no creation
    ReadOnly,   // any file that is only read: no creation
    CopyOnly,   // a numbered copy read back for a rollback: read only, never
                // through a link, so that nothing outside the dictionary's
                // folder stands in for it
    CreateNew,  // new backup copy: write only, created exclusively, writable
    Journal,    // rollback journal: read and write, created when missing,
                // never through a link; not truncated by the open itself.
                // Held while open: the open fails with FileInUse while
                // another process holds the same journal.
};

constexpr int NoFile = -1;

// A lock on a whole file, which every process of the library honours and
// nothing else sees: many may hold it shared, one exclusive. It belongs to
// the handle, so it ends when the handle is closed or its process ends in
// any way, and it never stops another program from reading or writing the
// file's bytes.
enum class FileLock { Shared, Exclusive };

struct FileTable {
    // A handle in `*handle`, or NoFile with FileMissing, NameTaken,
    // FileInUse, NotPermitted (no rights to it or to create it) or
    // CannotOpen.
    Status (*open)(const char *path, FileMode mode, int *handle);
    // One transfer at `offset`: `*moved` bytes, possibly fewer than asked
    // (none at the end of the file), or ReadFailed / WriteFailed.
    Status (*readSome)(int handle, int32_t offset, void *buffer, int32_t count, int32_t *moved);
    Status (*writeSome)(int handle, int32_t offset, const void *buffer, int32_t count, int32_t *moved);
    // One read at the handle's own position, which moves on by what was
    // read: for a file read from its start to its end, where placing
    // each read first would cost a call of its own.
    Status (*readNext)(int handle, void *buffer, int32_t count, int32_t *moved);
    // Cuts or extends the file to `length` bytes.
    Status (*resize)(int handle, int32_t length);
    // Gives the handle back even when it fails; a failure means what was
    // written may not have reached the file.
    Status (*close)(int handle);
    // Makes what was written through the handle durable, so that it
    // survives a crash of the whole system.
    Status (*sync)(int handle);
    // Makes the names in the folder holding `path` durable: a file just
    // created or removed there keeps that state after a crash. Fails only
    // when the folder's own sync fails; a file system that does not sync
    // folders at all (or a platform whose file system logs its folders)
    // succeeds.
    Status (*syncFolder)(const char *path);
    Status (*remove)(const char *path);
    // Gives the file `from` the name `to` in the same folder, never
    // replacing a file of that name (NameTaken); the name change is
    // durable once it succeeds.
    Status (*renameNew)(const char *from, const char *to);
    // Length of an open file, 64-bit so that files beyond the 32-bit range
    // are recognised; CannotSize when it cannot be found.
    Status (*length)(int handle, int64_t *length);
    // Whether a file of that name exists; false also when that cannot be
    // told.
    bool (*exists)(const char *path);
    // Takes `kind` of lock on an open file in place of any it holds, or
    // FileInUse at once while another handle holds one that conflicts (the
    // handle then holds none). CannotOpen where the file system takes no
    // locks at all.
    Status (*lock)(int handle, FileLock kind);
    // Lets `milliseconds` go by, for a call waiting on a lock.
    void (*pause)(int milliseconds);
};

// The platform's table, and the one in use: the platform's, unless a test
// program has put its own in place.
extern const FileTable NativeFiles;
extern const FileTable *Files;

inline Status FileOpen(const char *path, FileMode mode, int *handle) { return Files->open(path, mode, handle); }
inline Status FileResize(int handle, int32_t length) { return Files->resize(handle, length); }
inline Status FileClose(int handle) { return Files->close(handle); }
inline Status FileSync(int handle) { return Files->sync(handle); }
inline Status FileSyncFolder(const char *path) { return Files->syncFolder(path); }
inline Status FileRemove(const char *path) { return Files->remove(path); }
inline Status FileRenameNew(const char *from, const char *to) { return Files->renameNew(from, to); }
inline Status FileLength(int handle, int64_t *length) { return Files->length(handle, length); }
inline bool FileExists(const char *path) { return Files->exists(path); }
inline Status FileTakeLock(int handle, FileLock kind) { return Files->lock(handle, kind); }
inline void Pause(int milliseconds) { Files->pause(milliseconds); }

// Every one of `count` bytes at `offset`, or a failure: transfers that come
// back short are carried on here. A file that ends first is ReadFailed.
Status FileRead(int handle, int32_t offset, void *buffer, int32_t count);
Status FileWrite(int handle, int32_t offset, const void *buffer, int32_t count);
// Every one of the next `count` bytes from the handle's own position.
Status FileReadNext(int handle, void *buffer, int32_t count);

// Closes a file handle on every path.
class FileHandle {
public:
    FileHandle() = default;
    FileHandle(FileHandle &&other) noexcept : handle_(other.handle_) { other.handle_ = NoFile; }
    FileHandle &operator=(FileHandle &&other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = NoFile;
        }
        return *this;
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Close(); }

    Status Open(const char *path, FileMode mode)
    {
        Close();
        return FileOpen(path, mode, &handle_);
    }
    bool IsOpen() const { return handle_ != NoFile; }
    int Get() const { return handle_; }
    // A failure means what was written may not have reached the file.
    Status Close()
    {
        Status closed = IsOpen() ? FileClose(handle_) : Success;
        handle_ = NoFile;
        return closed;
    }

private:
    int handle_ = NoFile;
};

// The separator appended when composing a path on this platform.
extern const char PathSeparator;

// Writes `number` as "%03u" with the run-time library's own sprintf; `out`
// holds at least 11 bytes.
void FormatBackupNumber(char *out, uint32_t number);

}  // namespace dorvan::platform
