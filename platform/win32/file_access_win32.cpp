// Files through the system's own handles, each path turned into UTF-16 at
// the call.
#include "platform/file_access.h"

#include <stdio.h>
#include <windows.h>
#include <winternl.h>
#include <aclapi.h>

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

// Opens `name` in `folder` by the system's own open, which takes the
// folder's handle as where the name starts: however the folder's path is
// changed meanwhile, the name is looked up in the folder opened. A link,
// junction or other reparse point at the name is opened as itself, never
// followed. The handle, or INVALID_HANDLE_VALUE with the last error set.
HANDLE OpenInFolder(int folder, const char *name, ACCESS_MASK access, ULONG share, ULONG disposition, ULONG options)
{
    WidePath wide;
    if (!WidenPath(name, wide) || wcschr(wide, L'\\') || wcschr(wide, L'/')) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    UNICODE_STRING text;
    RtlInitUnicodeString(&text, wide);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, ToHandle(folder), nullptr);
    IO_STATUS_BLOCK io;
    HANDLE handle = INVALID_HANDLE_VALUE;
    const NTSTATUS opened =
        NtCreateFile(&handle, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes, &io, nullptr,
                     FILE_ATTRIBUTE_NORMAL, share, disposition,
                     options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
    if (NT_SUCCESS(opened))
        return handle;
    SetLastError(RtlNtStatusToDosError(opened));
    return INVALID_HANDLE_VALUE;
}

constexpr ULONG ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Status OpenFolderNative(const char *path, int *folder)
{
    *folder = NoFile;
    WidePath wide;
    if (!WidenPath(path, wide))
        return StatusOf(StatusCode::CannotOpen);
    // Following the path as it stands: a junction an administrator made
    // for the folder is the folder.
    HANDLE handle = CreateFileW(wide, FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, ShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return OpenFailure();
    BY_HANDLE_FILE_INFORMATION about;
    if (!GetFileInformationByHandle(handle, &about) || !(about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return StatusOf(StatusCode::FileMissing);
    }
    *folder = ToInteger(handle);
    return Success;
}

// Only files on disk are read or edited: a device (CON, NUL, COM1, ...) or
// a pipe named in place of a file is refused before anything is read from
// it or written to it; and a file in the folder that is a link or a
// junction, standing for a file elsewhere, is refused too, as is one to be
// written or put back that has other names.
Status OpenNative(int folder, const char *name, FileMode mode, int *opened)
{
    *opened = NoFile;
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
    ULONG inFolder = FILE_OPEN;
    bool oneNameOnly = false;
    switch (mode) {
    case FileMode::ReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        oneNameOnly = true;
        break;
    case FileMode::ReadOnly:
        break;
    case FileMode::CopyOnly:
        oneNameOnly = true;
        break;
    case FileMode::CreateNew:
        // Exclusive, so a copy that appeared since the existence test is
        // never written over.
        access = GENERIC_WRITE;
        disposition = CREATE_NEW;
        inFolder = FILE_CREATE;
        break;
    case FileMode::Journal:
        // Shared with no one, so that no other process opens it while it
        // is held.
        access = GENERIC_READ | GENERIC_WRITE;
        share = 0;
        disposition = OPEN_ALWAYS;
        inFolder = FILE_OPEN_IF;
        oneNameOnly = true;
        break;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    const bool linksRefused = folder != NoFolder || mode == FileMode::CopyOnly || mode == FileMode::Journal;
    if (folder != NoFolder) {
        handle = OpenInFolder(folder, name, access | READ_CONTROL, share, inFolder, FILE_NON_DIRECTORY_FILE);
    } else {
        WidePath wide;
        if (!WidenPath(name, wide))
            return StatusOf(StatusCode::CannotOpen);
        handle = CreateFileW(wide, access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL | (linksRefused ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE)
        return OpenFailure();
    BY_HANDLE_FILE_INFORMATION about;
    const bool described = GetFileInformationByHandle(handle, &about);
    Status refused = Success;
    if ((linksRefused && (!described || (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))) ||
        GetFileType(handle) != FILE_TYPE_DISK)
        refused = StatusOf(StatusCode::CannotOpen);
    else if (folder != NoFolder && oneNameOnly && about.nNumberOfLinks > 1)
        refused = StatusOf(StatusCode::WrittenByOther);
    if (!refused.Ok()) {
        CloseHandle(handle);
        return refused;
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
Status SyncFolderNative(int)
{
    return Success;
}

// Sets `information` on the file `name` in `folder`, opened for removal
// or renaming only, sharing everything with whoever holds it already.
Status SetOnFileInFolder(int folder, const char *name, void *information, ULONG size, FILE_INFORMATION_CLASS kind)
{
    HANDLE handle = OpenInFolder(folder, name, DELETE, ShareAll, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    if (handle == INVALID_HANDLE_VALUE)
        return StatusOf(StatusCode::WriteFailed);
    IO_STATUS_BLOCK io;
    const NTSTATUS set = NtSetInformationFile(handle, &io, information, size, kind);
    CloseHandle(handle);
    if (NT_SUCCESS(set))
        return Success;
    const DWORD reason = RtlNtStatusToDosError(set);
    return StatusOf(reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS ? StatusCode::NameTaken
                                                                                  : StatusCode::WriteFailed);
}

// Through a handle of the file itself, as a name-based removal would reach
// whatever the folder's path leads to at that moment.
Status RemoveNative(int folder, const char *name)
{
    FILE_DISPOSITION_INFORMATION removal = {TRUE};
    return SetOnFileInFolder(folder, name, &removal, sizeof removal, FileDispositionInformation);
}

// The new name is looked up in the folder's handle too. Without
// ReplaceIfExists an existing name is never replaced.
Status RenameNewNative(int folder, const char *from, const char *to)
{
    WidePath wideTo;
    if (!WidenPath(to, wideTo) || wcschr(wideTo, L'\\') || wcschr(wideTo, L'/'))
        return StatusOf(StatusCode::WriteFailed);
    union {
        FILE_RENAME_INFORMATION head;
        unsigned char bytes[sizeof(FILE_RENAME_INFORMATION) + sizeof(WidePath)];
    } rename = {};
    rename.head.ReplaceIfExists = FALSE;
    rename.head.RootDirectory = ToHandle(folder);
    rename.head.FileNameLength = static_cast<ULONG>(wcslen(wideTo) * sizeof(wchar_t));
    memcpy(rename.head.FileName, wideTo, rename.head.FileNameLength);
    return SetOnFileInFolder(folder, from, &rename,
                             static_cast<ULONG>(offsetof(FILE_RENAME_INFORMATION, FileName) + rename.head.FileNameLength),
                             FileRenameInformation);
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

bool ExistsNative(int folder, const char *name)
{
    if (folder == NoFolder) {
        WidePath wide;
        return WidenPath(name, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
    }
    // Its attributes alone are asked for, which no sharing mode bars.
    HANDLE handle = OpenInFolder(folder, name, 0, ShareAll, FILE_OPEN, 0);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return handle != INVALID_HANDLE_VALUE || GetLastError() == ERROR_SHARING_VIOLATION;
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

// Whether `sid` is the user of the token the calling thread acts with.
bool IsCaller(PSID sid)
{
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_USER user;
        unsigned char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } about;
    DWORD size = 0;
    const bool same = GetTokenInformation(token, TokenUser, &about, sizeof about, &size) &&
                      EqualSid(about.user.User.Sid, sid);
    CloseHandle(token);
    return same;
}

// The owner of an open file, in `*descriptor` to be freed with LocalFree.
PSID OwnerOf(HANDLE handle, PSECURITY_DESCRIPTOR *descriptor)
{
    PSID owner = nullptr;
    *descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        descriptor) != ERROR_SUCCESS)
        return nullptr;
    return owner;
}

// The owners trusted are the dictionary's own, the caller, the
// administrators and the system: what a setup run by any of them leaves.
Status TrustedNative(int handle, int reference)
{
    const Status untrusted = StatusOf(StatusCode::WrittenByOther);
    BY_HANDLE_FILE_INFORMATION about;
    if (!GetFileInformationByHandle(ToHandle(handle), &about) || about.nNumberOfLinks > 1)
        return untrusted;
    PSECURITY_DESCRIPTOR fileDescriptor, referenceDescriptor = nullptr;
    const PSID owner = OwnerOf(ToHandle(handle), &fileDescriptor);
    bool trusted = owner && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                             IsWellKnownSid(owner, WinLocalSystemSid) || IsCaller(owner));
    if (owner && !trusted && reference != NoFile) {
        const PSID dictionaryOwner = OwnerOf(ToHandle(reference), &referenceDescriptor);
        trusted = dictionaryOwner && EqualSid(owner, dictionaryOwner);
    }
    LocalFree(fileDescriptor);
    LocalFree(referenceDescriptor);
    return trusted ? Success : untrusted;
}

}  // namespace

const FileTable NativeFiles = {OpenFolderNative, OpenNative,   ReadSomeNative, WriteSomeNative, ReadNextNative,
                               ResizeNative,     CloseNative,  SyncNative,     SyncFolderNative, RemoveNative,
                               RenameNewNative,  LengthNative, ExistsNative,   LockNative,      PauseNative,
                               TrustedNative};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
