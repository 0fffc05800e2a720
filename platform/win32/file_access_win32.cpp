// Files through the system's own handles, each path turned into UTF-16 at
// the call.
#include "platform/file_access.h"

#include <stdio.h>
#include <windows.h>

#include "platform/win32/wide_path.h"

namespace dorvan::platform {

const char PathSeparator = '\\';

// msvcrt's own sprintf: the C++ headers select mingw-w64's far larger one
// for the plain name.
void FormatBackupNumber(char *out, uint32_t number)
{
    __ms_sprintf(out, "%03u", static_cast<unsigned>(number));
}

namespace {

// A kernel handle's value fits 32 bits on every Windows, so that 32-bit
// and 64-bit processes can share handles; the library's integer handles
// hold it as it is.
int ToInteger(HANDLE handle) { return static_cast<int>(HandleToLong(handle)); }
HANDLE ToHandle(int handle) { return LongToHandle(handle); }

Status OpenFailure()
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return StatusOf(StatusCode::FileMissing);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return StatusOf(StatusCode::NameTaken);
    case ERROR_SHARING_VIOLATION:
        return StatusOf(StatusCode::FileInUse);
    case ERROR_ACCESS_DENIED:
        return StatusOf(StatusCode::NotPermitted);
    default:
        return StatusOf(StatusCode::CannotOpen);
    }
}

// Only files on disk are read or edited: a device (CON, NUL, COM1, ...) or
// a pipe named in place of a file is refused before anything is read from
// it or written to it; and a numbered copy or a journal that is a link or
// a junction, standing for a file elsewhere, is refused too.
Status OpenNative(const char *path, FileMode mode, int *opened)
{
    *opened = NoFile;
    WidePath wide;
    if (!WidenPath(path, wide))
        return StatusOf(StatusCode::CannotOpen);
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    switch (mode) {
    case FileMode::ReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    case FileMode::ReadOnly:
        break;
    case FileMode::CopyOnly:
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    case FileMode::CreateNew:
        // Exclusive, so a copy that appeared since the existence test is
        // never written over.
        access = GENERIC_WRITE;
        disposition = CREATE_NEW;
        break;
    case FileMode::Journal:
        // Shared with no one, so that no other process opens it while it
        // is held.
        access = GENERIC_READ | GENERIC_WRITE;
        share = 0;
        disposition = OPEN_ALWAYS;
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    }
    HANDLE handle = CreateFileW(wide, access, share, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return OpenFailure();
    BY_HANDLE_FILE_INFORMATION about;
    const bool linked = (flags & FILE_FLAG_OPEN_REPARSE_POINT) &&
                        (!GetFileInformationByHandle(handle, &about) ||
                         (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT));
    if (linked || GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return StatusOf(StatusCode::CannotOpen);
    }
    *opened = ToInteger(handle);
    return Success;
}

// Each transfer moves the file pointer first and then reads or writes
// plainly: Wine signals an OVERLAPPED transfer's completion through its
// server, which costs more than the read of a whole chunk from the cache.
bool MoveTo(int handle, int32_t offset)
{
    LARGE_INTEGER place;
    place.QuadPart = offset;
    return SetFilePointerEx(ToHandle(handle), place, nullptr, FILE_BEGIN);
}

Status ReadSomeNative(int handle, int32_t offset, void *buffer, int32_t count, int32_t *moved)
{
    *moved = 0;
    DWORD done = 0;
    if (!MoveTo(handle, offset) || !ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr))
        return StatusOf(StatusCode::ReadFailed);
    *moved = static_cast<int32_t>(done);
    return Success;
}

Status ReadNextNative(int handle, void *buffer, int32_t count, int32_t *moved)
{
    *moved = 0;
    DWORD done = 0;
    if (!ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr))
        return StatusOf(StatusCode::ReadFailed);
    *moved = static_cast<int32_t>(done);
    return Success;
}

Status WriteSomeNative(int handle, int32_t offset, const void *buffer, int32_t count, int32_t *moved)
{
    *moved = 0;
    DWORD done = 0;
    if (!MoveTo(handle, offset) || !WriteFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr))
        return StatusOf(StatusCode::WriteFailed);
    *moved = static_cast<int32_t>(done);
    return Success;
}

Status Written(bool done)
{
    return done ? Success : StatusOf(StatusCode::WriteFailed);
}

Status ResizeNative(int handle, int32_t length)
{
    return Written(MoveTo(handle, length) && SetEndOfFile(ToHandle(handle)));
}

Status CloseNative(int handle)
{
    return Written(CloseHandle(ToHandle(handle)));
}

Status SyncNative(int handle)
{
    return Written(FlushFileBuffers(ToHandle(handle)));
}

// The file system keeps its own names safe: NTFS logs every change to a
// folder before it is made.
Status SyncFolderNative(const char *)
{
    return Success;
}

Status RemoveNative(const char *path)
{
    WidePath wide;
    return Written(WidenPath(path, wide) && DeleteFileW(wide));
}

Status RenameNewNative(const char *from, const char *to)
{
    WidePath wideFrom, wideTo;
    if (!WidenPath(from, wideFrom) || !WidenPath(to, wideTo))
        return StatusOf(StatusCode::WriteFailed);
    // Without MOVEFILE_REPLACE_EXISTING an existing name is never replaced.
    if (MoveFileExW(wideFrom, wideTo, MOVEFILE_WRITE_THROUGH))
        return Success;
    const DWORD reason = GetLastError();
    return StatusOf(reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS ? StatusCode::NameTaken
                                                                                  : StatusCode::WriteFailed);
}

Status LengthNative(int handle, int64_t *length)
{
    // The 64-bit query, so that a file of 2 GiB or more is seen as such
    // rather than as a wrapped 32-bit length.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(ToHandle(handle), &size)) {
        *length = -1;
        return StatusOf(StatusCode::CannotSize);
    }
    *length = size.QuadPart;
    return Success;
}

bool ExistsNative(const char *path)
{
    WidePath wide;
    return WidenPath(path, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

// Windows' byte-range locks bar other handles from the bytes they cover,
// so the lock is the one byte at 4 GiB: past every byte a dictionary of
// the 32-bit range holds, and so past every read and write, the host's
// included.
constexpr DWORD LockOffsetHigh = 1;

Status LockNative(int handle, FileLock kind)
{
    OVERLAPPED place = {};
    place.OffsetHigh = LockOffsetHigh;
    // A handle holds one lock of its own at most: any it held goes first.
    UnlockFileEx(ToHandle(handle), 0, 1, 0, &place);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == FileLock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(ToHandle(handle), flags, 0, 1, 0, &place))
        return Success;
    const DWORD reason = GetLastError();
    return StatusOf(reason == ERROR_LOCK_VIOLATION || reason == ERROR_IO_PENDING ? StatusCode::FileInUse
                                                                                : StatusCode::CannotOpen);
}

void PauseNative(int milliseconds)
{
    Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace

const FileTable NativeFiles = {OpenNative,   ReadSomeNative,  WriteSomeNative, ReadNextNative, ResizeNative,
                               CloseNative,  SyncNative,      SyncFolderNative, RemoveNative,  RenameNewNative,
                               LengthNative, ExistsNative,    LockNative,      PauseNative};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
