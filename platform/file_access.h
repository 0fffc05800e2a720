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
    CopyOnly,   // a numbered copy, journal or copy in progress looked at
                // before anything of it is used: read only
    CreateNew,  // new backup copy: write only, created exclusively, writable
    Journal,    // rollback journal: read and write, created when missing;
                // not truncated by the open itself. Held while open: the
                // open fails with FileInUse while another process holds
                // the same journal.
};

constexpr int NoFile = -1;

// In place of a folder handle: the name is a whole path, followed as the
// caller gave it (a caller's own file).
constexpr int NoFolder = NoFile;

// A lock on a whole file, which every process of the library honours and
// nothing else sees: many may hold it shared, one exclusive. It belongs to
// the handle, so it ends when the handle is closed or its process ends in
// any way, and it never stops another program from reading or writing the
// file's bytes.
enum class FileLock { Shared, Exclusive };

// The map set's files are reached through a folder opened once for the
// call: each is named by its own name in it, and no link at that name is
// followed, so that nothing another account puts in the folder, or in
// place of a folder on the path, redirects a later step elsewhere.
struct FileTable {
    // The folder at `path`, following the path as it stands (an
    // administrator's link or junction included), in `*folder`; FileMissing
    // or CannotOpen. Closed with `close`.
    Status (*openFolder)(const char *path, int *folder);
    // The file `name` in `folder` (no separator in it), never through a
    // link at that name; or, with NoFolder, the path `name`. A handle in
    // `*handle`, or NoFile with FileMissing, NameTaken, FileInUse,
    // NotPermitted (no rights to it or to create it), WrittenByOther (in a
    // folder, a file to be written or put back that has other names too)
    // or CannotOpen.
    Status (*open)(int folder, const char *name, FileMode mode, int *handle);
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
    // Makes the names in `folder` durable: a file just created or removed
    // there keeps that state after a crash. Fails only when the folder's
    // own sync fails; a folder that cannot be synced at all (or a platform
    // whose file system logs its folders) succeeds.
    Status (*syncFolder)(int folder);
    // Removes the name `name` from `folder` (a link there itself, never
    // what it points to).
    Status (*remove)(int folder, const char *name);
    // Gives the file `from` in `folder` the name `to` there, never
    // replacing a file of that name (NameTaken); the name change is
    // durable once it succeeds.
    Status (*renameNew)(int folder, const char *from, const char *to);
    // Length of an open file, 64-bit so that files beyond the 32-bit range
    // are recognised; CannotSize when it cannot be found.
    Status (*length)(int handle, int64_t *length);
    // Whether anything of that name is in `folder` (a link counts);
    // false also when that cannot be told.
    bool (*exists)(int folder, const char *name);
    // Takes `kind` of lock on an open file in place of any it holds, or
    // FileInUse at once while another handle holds one that conflicts (the
    // handle then holds none). CannotOpen where the file system takes no
    // locks at all.
    Status (*lock)(int handle, FileLock kind);
    // Lets `milliseconds` go by, for a call waiting on a lock.
    void (*pause)(int milliseconds);
    // Whether the open file may be trusted for what it holds: its owner is
    // the owner of `reference` (the dictionary, or NoFile), the account
    // making the call, the administrators or the system, and it has no
    // other name. WrittenByOther when not, or when that cannot be told.
    Status (*trusted)(int handle, int reference);
};

// The platform's table, and the one in use: the platform's, unless a test
// program has put its own in place.
extern const FileTable NativeFiles;
extern const FileTable *Files;

inline Status FileOpenFolder(const char *path, int *folder) { return Files->openFolder(path, folder); }
inline Status FileResize(int handle, int32_t length) { return Files->resize(handle, length); }
inline Status FileClose(int handle) { return Files->close(handle); }
inline Status FileSync(int handle) { return Files->sync(handle); }
inline Status FileSyncFolder(int folder) { return Files->syncFolder(folder); }
inline Status FileRemove(int folder, const char *name) { return Files->remove(folder, name); }
inline Status FileRenameNew(int folder, const char *from, const char *to) { return Files->renameNew(folder, from, to); }
inline Status FileLength(int handle, int64_t *length) { return Files->length(handle, length); }
inline bool FileExists(int folder, const char *name) { return Files->exists(folder, name); }
inline Status FileTakeLock(int handle, FileLock kind) { return Files->lock(handle, kind); }
inline void Pause(int milliseconds) { Files->pause(milliseconds); }
inline Status FileTrusted(int handle, int reference) { return Files->trusted(handle, reference); }

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

    // The file `name` in `folder`, or the path `name` with NoFolder.
    Status Open(int folder, const char *name, FileMode mode)
    {
        Close();
        return Files->open(folder, name, mode, &handle_);
    }
    Status Open(const char *path, FileMode mode) { return Open(NoFolder, path, mode); }
    Status OpenFolder(const char *path)
    {
        Close();
        return FileOpenFolder(path, &handle_);
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
