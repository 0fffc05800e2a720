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

// Only regular files are read or edited. Every open is made without
// waiting, so that a FIFO or a device named in place of a file is refused
// at once rather than waited on; a regular file then works as usual.
Status OpenNative(const char *path, FileMode mode, int *opened)
{
    *opened = NoFile;
    int handle = NoFile;
    switch (mode) {
    case FileMode::ReadWrite:
        handle = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileMode::ReadOnly:
        handle = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileMode::CopyOnly:
        handle = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileMode::CreateNew:
        // Exclusive: a copy that appeared since the existence test is never
        // written over, and a symbolic link planted there is not followed.
        handle = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        break;
    case FileMode::Journal:
        handle = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        break;
    }
    if (handle == NoFile)
        return OpenFailure(errno);
    struct stat status;
    if (fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(handle);
        return StatusOf(StatusCode::CannotOpen);
    }
    // The lock goes with the open file, so it ends when the handle is
    // closed or the process ends in any way.
    if (mode == FileMode::Journal && flock(handle, LOCK_EX | LOCK_NB) != 0) {
        int reason = errno;
        close(handle);
        return OpenFailure(reason);
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

Status SyncFolderNative(const char *path)
{
    char folder[4096] = ".";
    if (const char *slash = std::strrchr(path, '/')) {
        size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);  // "/name" lies in the root
        if (length >= sizeof folder)
            return Success;
        std::memcpy(folder, path, length);
        folder[length] = '\0';
    }
    // A folder that cannot be opened for reading (one the caller may only
    // write into), or a file system that refuses to sync folders, cannot be
    // synced at all: that is no failure of the sync.
    int handle = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return Success;
    int synced = fsync(handle);
    int reason = errno;
    close(handle);
    return Written(synced == 0 || reason == EINVAL || reason == EROFS || reason == ENOTSUP ||
                   reason == EOPNOTSUPP);
}

Status RemoveNative(const char *path)
{
    return Written(unlink(path) == 0);
}

Status RenameNewNative(const char *from, const char *to)
{
    // Atomic where the file system can; else a second link, which no more
    // replaces a file than the rename does, and the first name's removal.
    int renamed = renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
        renamed = link(from, to);
        if (renamed == 0)
            unlink(from);
    }
    if (renamed != 0)
        return StatusOf(errno == EEXIST ? StatusCode::NameTaken : StatusCode::WriteFailed);
    return SyncFolderNative(to);
}

Status LengthNative(int handle, int64_t *length)
{
    struct stat status;
    if (fstat(handle, &status) != 0)
        return StatusOf(StatusCode::CannotSize);
    *length = static_cast<int64_t>(status.st_size);
    return Success;
}

bool ExistsNative(const char *path)
{
    return access(path, F_OK) == 0;
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

}  // namespace

const FileTable NativeFiles = {OpenNative,   ReadSomeNative,  WriteSomeNative, ReadNextNative, ResizeNative,
                               CloseNative,  SyncNative,      SyncFolderNative, RemoveNative,  RenameNewNative,
                               LengthNative, ExistsNative,    LockNative,      PauseNative};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
