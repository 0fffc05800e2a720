// Files through the run-time library's low-level, binary-mode functions.
#include "platform/file_access.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <share.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

namespace dorvan::platform {

const char PathSeparator = '\\';

// msvcrt's own sprintf: the C++ headers select mingw-w64's far larger one
// for the plain name.
void FormatBackupNumber(char *out, uint32_t number)
{
    __ms_sprintf(out, "%03u", static_cast<unsigned>(number));
}

namespace {

// Only files on disk are read or edited: a device (CON, NUL, COM1, ...) or
// a pipe named in place of a file is refused before anything is read from
// it or written to it.
Status OpenNative(const char *path, FileMode mode, int *opened)
{
    *opened = NoFile;
    int handle = NoFile;
    switch (mode) {
    case FileMode::ReadWrite:
        handle = _open(path, _O_RDWR | _O_BINARY);
        break;
    case FileMode::ReadOnly:
        handle = _open(path, _O_RDONLY | _O_BINARY);
        break;
    case FileMode::CopyOnly: {
        // A link or junction stands for a file elsewhere.
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return StatusOf(StatusCode::CannotOpen);
        handle = _open(path, _O_RDONLY | _O_BINARY);
        break;
    }
    case FileMode::CreateNew:
        // Exclusive, so a copy that appeared since the existence test is
        // never written over.
        handle = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        break;
    case FileMode::Journal:
        // Shared with no one, so that no other process opens it while it
        // is held.
        handle = _sopen(path, _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
        break;
    }
    if (handle == NoFile) {
        if (errno == EEXIST)
            return StatusOf(StatusCode::NameTaken);
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            return StatusOf(StatusCode::FileInUse);
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return StatusOf(StatusCode::NotPermitted);
        return StatusOf(errno == ENOENT ? StatusCode::FileMissing : StatusCode::CannotOpen);
    }
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(handle))) != FILE_TYPE_DISK) {
        _close(handle);
        return StatusOf(StatusCode::CannotOpen);
    }
    *opened = handle;
    return Success;
}

// One call of the run-time library's `_read` or `_write` at `offset`.
template <typename Buffer, typename Transfer>
Status MoveSome(Transfer transfer, int handle, int32_t offset, Buffer buffer, int32_t count, int32_t *moved,
                StatusCode failure)
{
    *moved = 0;
    if (_lseek(handle, offset, SEEK_SET) != offset)
        return StatusOf(failure);
    const int done = transfer(handle, buffer, static_cast<unsigned>(count));
    if (done < 0)
        return StatusOf(failure);
    *moved = done;
    return Success;
}

Status ReadSomeNative(int handle, int32_t offset, void *buffer, int32_t count, int32_t *moved)
{
    return MoveSome(_read, handle, offset, buffer, count, moved, StatusCode::ReadFailed);
}

Status WriteSomeNative(int handle, int32_t offset, const void *buffer, int32_t count, int32_t *moved)
{
    return MoveSome(_write, handle, offset, buffer, count, moved, StatusCode::WriteFailed);
}

Status Written(bool done)
{
    return done ? Success : StatusOf(StatusCode::WriteFailed);
}

Status ResizeNative(int handle, int32_t length)
{
    return Written(_chsize(handle, length) == 0);
}

Status CloseNative(int handle)
{
    return Written(_close(handle) == 0);
}

Status SyncNative(int handle)
{
    return Written(_commit(handle) == 0);
}

// The file system keeps its own names safe: NTFS logs every change to a
// folder before it is made.
Status SyncFolderNative(const char *)
{
    return Success;
}

Status RemoveNative(const char *path)
{
    return Written(_unlink(path) == 0);
}

Status RenameNewNative(const char *from, const char *to)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing name is never replaced.
    if (MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH))
        return Success;
    const DWORD reason = GetLastError();
    return StatusOf(reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS ? StatusCode::NameTaken
                                                                                  : StatusCode::WriteFailed);
}

Status LengthNative(int handle, int64_t *length)
{
    // The 64-bit query, so that a file of 2 GiB or more is seen as such
    // rather than as a wrapped 32-bit length.
    *length = _filelengthi64(handle);
    return *length < 0 ? StatusOf(StatusCode::CannotSize) : Success;
}

bool ExistsNative(const char *path)
{
    return _access(path, 0) == 0;
}

}  // namespace

const FileTable NativeFiles = {OpenNative,       ReadSomeNative, WriteSomeNative, ResizeNative,
                               CloseNative,      SyncNative,     SyncFolderNative, RemoveNative,
                               RenameNewNative,  LengthNative,   ExistsNative};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
