// Files through POSIX descriptors, with the meanings of the library's open
// modes: binary (POSIX does no translation), no creation unless asked.
#include "platform/file_access.h"

#include <cstdio>
#include <cstring>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace dorvan::platform {

const char PathSeparator = '/';

void FormatBackupNumber(char *out, uint32_t number)
{
    std::sprintf(out, "%03u", static_cast<unsigned>(number));
}

namespace {

Status OpenFailure(int reason)
{
    switch (reason) {
    case ENOENT:
        return StatusOf(StatusCode::FileMissing);
    case EEXIST:
        return StatusOf(StatusCode::NameTaken);
    case EWOULDBLOCK:
        return StatusOf(StatusCode::FileInUse);
    case EACCES:
    case EPERM:
        return StatusOf(StatusCode::NotPermitted);
    default:
        return StatusOf(StatusCode::CannotOpen);
    }
}

Status OpenFolderNative(const char *path, int *folder)
{
    // Searching the folder needs no right to list it: a folder the caller
    // may only pass through or write into is opened for its names alone.
    int handle = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    if (handle == NoFile && errno == EACCES)
        handle = open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    *folder = handle;
    return handle == NoFile ? OpenFailure(errno) : Success;
}

// A file written or put back through a folder has one name: another name
// elsewhere would let what the library writes reach, or what it puts back
// come from, a file it was never meant to touch.
bool WrittenThroughFolder(FileMode mode)
{
    return mode == FileMode::ReadWrite || mode == FileMode::Journal || mode == FileMode::CopyOnly;
}

// Only regular files are read or edited. Every open is made without
// waiting, so that a FIFO or a device named in place of a file is refused
// at once rather than waited on; a regular file then works as usual.
Status OpenNative(int folder, const char *name, FileMode mode, int *opened)
{
    *opened = NoFile;
    int flags = O_NONBLOCK | O_CLOEXEC;
    switch (mode) {
    case FileMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case FileMode::ReadOnly:
    case FileMode::CopyOnly:
        flags |= O_RDONLY;
        break;
    case FileMode::CreateNew:
        // Exclusive: a copy that appeared since the existence test is never
        // written over, and a symbolic link planted there is not followed.
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    case FileMode::Journal:
        flags |= O_RDWR | O_CREAT;
        break;
    }
    if (folder != NoFolder && std::strchr(name, '/'))
        return StatusOf(StatusCode::CannotOpen);
    if (folder != NoFolder || (mode != FileMode::ReadWrite && mode != FileMode::ReadOnly))
        flags |= O_NOFOLLOW;
    const int handle = openat(folder == NoFolder ? AT_FDCWD : folder, name, flags, 0600);
    if (handle == NoFile)
        return OpenFailure(errno);
    struct stat status;
    Status refused = Success;
    if (fstat(handle, &status) != 0 || !S_ISREG(status.st_mode))
        refused = StatusOf(StatusCode::CannotOpen);
    else if (folder != NoFolder && WrittenThroughFolder(mode) && status.st_nlink > 1)
        refused = StatusOf(StatusCode::WrittenByOther);
    // The lock goes with the open file, so it ends when the handle is
    // closed or the process ends in any way.
    else if (mode == FileMode::Journal && flock(handle, LOCK_EX | LOCK_NB) != 0)
        refused = OpenFailure(errno);
    if (!refused.Ok()) {
        close(handle);
        return refused;
    }
    fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    *opened = handle;
    return Success;
}

Status ReadSomeNative(int handle, int32_t offset, void *buffer, int32_t count, int32_t *moved)
{
    ssize_t got;
    do
        got = pread(handle, buffer, static_cast<size_t>(count), offset);
    while (got < 0 && errno == EINTR);
    *moved = got < 0 ? 0 : static_cast<int32_t>(got);
    return got < 0 ? StatusOf(StatusCode::ReadFailed) : Success;
}

Status ReadNextNative(int handle, void *buffer, int32_t count, int32_t *moved)
{
    ssize_t got;
    do
        got = read(handle, buffer, static_cast<size_t>(count));
    while (got < 0 && errno == EINTR);
    *moved = got < 0 ? 0 : static_cast<int32_t>(got);
    return got < 0 ? StatusOf(StatusCode::ReadFailed) : Success;
}

Status WriteSomeNative(int handle, int32_t offset, const void *buffer, int32_t count, int32_t *moved)
{
    ssize_t put;
    do
        put = pwrite(handle, buffer, static_cast<size_t>(count), offset);
    while (put < 0 && errno == EINTR);
    *moved = put < 0 ? 0 : static_cast<int32_t>(put);
    return put < 0 ? StatusOf(StatusCode::WriteFailed) : Success;
}

Status Written(bool done)
{
    return done ? Success : StatusOf(StatusCode::WriteFailed);
}

Status ResizeNative(int handle, int32_t length)
{
    return Written(length >= 0 && ftruncate(handle, length) == 0);
}

Status CloseNative(int handle)
{
    return Written(close(handle) == 0);
}

Status SyncNative(int handle)
{
    return Written(fsync(handle) == 0);
}

Status SyncFolderNative(int folder)
{
    // A folder opened for its names alone, or a file system that refuses
    // to sync folders, cannot be synced at all: that is no failure of the
    // sync.
    const int synced = fsync(folder);
    const int reason = errno;
    return Written(synced == 0 || reason == EBADF || reason == EINVAL || reason == EROFS || reason == ENOTSUP ||
                   reason == EOPNOTSUPP);
}

Status RemoveNative(int folder, const char *name)
{
    return Written(unlinkat(folder, name, 0) == 0);
}

Status RenameNewNative(int folder, const char *from, const char *to)
{
    // Atomic where the file system can; else a second link, which no more
    // replaces a file than the rename does, and the first name's removal.
    int renamed = renameat2(folder, from, folder, to, RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
        renamed = linkat(folder, from, folder, to, 0);
        if (renamed == 0)
            unlinkat(folder, from, 0);
    }
    if (renamed != 0)
        return StatusOf(errno == EEXIST ? StatusCode::NameTaken : StatusCode::WriteFailed);
    return SyncFolderNative(folder);
}

Status LengthNative(int handle, int64_t *length)
{
    struct stat status;
    if (fstat(handle, &status) != 0)
        return StatusOf(StatusCode::CannotSize);
    *length = static_cast<int64_t>(status.st_size);
    return Success;
}

bool ExistsNative(int folder, const char *name)
{
    struct stat status;
    return fstatat(folder == NoFolder ? AT_FDCWD : folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// A lock of the open file description, as the journal's is: another
// process's open of the same file conflicts, and the lock goes with the
// last descriptor of that open, however its process ends.
Status LockNative(int handle, FileLock kind)
{
    const int operation = (kind == FileLock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    int locked;
    do
        locked = flock(handle, operation);
    while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return Success;
    return StatusOf(errno == EWOULDBLOCK ? StatusCode::FileInUse : StatusCode::CannotOpen);
}

void PauseNative(int milliseconds)
{
    timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// The owners trusted are those of sudo's and OpenSSH's checks: the
// dictionary's own, the caller and root.
Status TrustedNative(int handle, int reference)
{
    struct stat file, dictionary;
    if (fstat(handle, &file) != 0 || file.st_nlink > 1)
        return StatusOf(StatusCode::WrittenByOther);
    const bool owned = file.st_uid == 0 || file.st_uid == geteuid() ||
                       (reference != NoFile && fstat(reference, &dictionary) == 0 && file.st_uid == dictionary.st_uid);
    return owned ? Success : StatusOf(StatusCode::WrittenByOther);
}

}  // namespace

const FileTable NativeFiles = {OpenFolderNative, OpenNative,   ReadSomeNative, WriteSomeNative, ReadNextNative,
                               ResizeNative,     CloseNative,  SyncNative,     SyncFolderNative, RemoveNative,
                               RenameNewNative,  LengthNative, ExistsNative,   LockNative,      PauseNative,
                               TrustedNative};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
