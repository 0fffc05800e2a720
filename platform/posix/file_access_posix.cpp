// Files through POSIX descriptors, with the meanings of the library's open
// modes: binary (POSIX does no translation), no creation unless asked.
#include "platform/file_access.h"

#include <cstdio>
#include <cstring>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dorvan::platform {

const char PathSeparator = '/';

void FormatBackupNumber(char *out, uint32_t number)
{
    std::sprintf(out, "%03u", static_cast<unsigned>(number));
}

namespace {

// Only regular files are read or edited. Every open is made without
// waiting, so that a FIFO or a device named in place of a file is refused
// at once rather than waited on; a regular file then works as usual.
int OpenNative(const char *path, FileMode mode, OpenFailure *failure)
{
    int handle = NoFile;
    switch (mode) {
    case FileMode::ReadWrite:
        handle = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileMode::ReadOnly:
        handle = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
    struct stat status;
    if (handle != NoFile && (fstat(handle, &status) != 0 || !S_ISREG(status.st_mode))) {
        close(handle);
        handle = NoFile;
        errno = EINVAL;
    }
    // The lock goes with the open file, so it ends when the handle is
    // closed or the process ends in any way.
    if (handle != NoFile && mode == FileMode::Journal && flock(handle, LOCK_EX | LOCK_NB) != 0) {
        int reason = errno;
        close(handle);
        handle = NoFile;
        errno = reason;
    }
    if (handle != NoFile)
        fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    if (failure)
        *failure = handle != NoFile     ? OpenFailure::None
                   : errno == EEXIST      ? OpenFailure::NameTaken
                   : errno == EWOULDBLOCK ? OpenFailure::InUse
                                          : OpenFailure::Other;
    return handle;
}

int32_t ReadNative(int handle, void *buffer, int32_t count)
{
    ssize_t got;
    do
        got = read(handle, buffer, static_cast<size_t>(count));
    while (got < 0 && errno == EINTR);
    return static_cast<int32_t>(got);
}

int32_t WriteNative(int handle, const void *buffer, int32_t count)
{
    ssize_t put;
    do
        put = write(handle, buffer, static_cast<size_t>(count));
    while (put < 0 && errno == EINTR);
    return static_cast<int32_t>(put);
}

int32_t SeekNative(int handle, int32_t offset, SeekOrigin origin)
{
    off_t position = lseek(handle, offset, origin == SeekOrigin::Start ? SEEK_SET : SEEK_END);
    return position < 0 || position > INT32_MAX ? -1 : static_cast<int32_t>(position);
}

bool ResizeNative(int handle, int32_t length)
{
    return length >= 0 && ftruncate(handle, length) == 0;
}

bool CloseNative(int handle)
{
    return close(handle) == 0;
}

bool SyncNative(int handle)
{
    return fsync(handle) == 0;
}

bool SyncFolderNative(const char *path)
{
    char folder[4096] = ".";
    if (const char *slash = std::strrchr(path, '/')) {
        size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);  // "/name" lies in the root
        if (length >= sizeof folder)
            return true;
        std::memcpy(folder, path, length);
        folder[length] = '\0';
    }
    // A folder that cannot be opened for reading (one the caller may only
    // write into), or a file system that refuses to sync folders, cannot be
    // synced at all: that is no failure of the sync.
    int handle = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return true;
    int synced = fsync(handle);
    int reason = errno;
    close(handle);
    return synced == 0 || reason == EINVAL || reason == EROFS || reason == ENOTSUP || reason == EOPNOTSUPP;
}

bool RemoveNative(const char *path)
{
    return unlink(path) == 0;
}

int64_t LengthNative(int handle)
{
    struct stat status;
    if (fstat(handle, &status) != 0)
        return -1;
    return static_cast<int64_t>(status.st_size);
}

bool ExistsNative(const char *path)
{
    return access(path, F_OK) == 0;
}

}  // namespace

const FileTable NativeFiles = {OpenNative,   ReadNative,       WriteNative,  SeekNative,   ResizeNative,
                               CloseNative,  SyncNative,       SyncFolderNative, RemoveNative,
                               LengthNative, ExistsNative,     AllocateFromRuntime, ReleaseToRuntime};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
