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
int OpenNative(const char *path, FileMode mode, OpenFailure *failure)
{
    int handle = NoFile;
    switch (mode) {
    case FileMode::ReadWrite:
        handle = _open(path, _O_RDWR | _O_BINARY);
        break;
    case FileMode::ReadOnly:
        handle = _open(path, _O_RDONLY | _O_BINARY);
        break;
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
    if (handle != NoFile && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(handle))) != FILE_TYPE_DISK) {
        _close(handle);
        handle = NoFile;
        errno = EINVAL;
    }
    if (failure)
        *failure = handle != NoFile                             ? OpenFailure::None
                   : errno == EEXIST                              ? OpenFailure::NameTaken
                   : GetLastError() == ERROR_SHARING_VIOLATION ? OpenFailure::InUse
                                                                  : OpenFailure::Other;
    return handle;
}

int32_t ReadNative(int handle, void *buffer, int32_t count)
{
    return _read(handle, buffer, static_cast<unsigned>(count));
}

int32_t WriteNative(int handle, const void *buffer, int32_t count)
{
    return _write(handle, buffer, static_cast<unsigned>(count));
}

int32_t SeekNative(int handle, int32_t offset, SeekOrigin origin)
{
    return _lseek(handle, offset, origin == SeekOrigin::Start ? SEEK_SET : SEEK_END);
}

bool ResizeNative(int handle, int32_t length)
{
    return _chsize(handle, length) == 0;
}

bool CloseNative(int handle)
{
    return _close(handle) == 0;
}

bool SyncNative(int handle)
{
    return _commit(handle) == 0;
}

// The file system keeps its own names safe: NTFS logs every change to a
// folder before it is made.
bool SyncFolderNative(const char *)
{
    return true;
}

bool RemoveNative(const char *path)
{
    return _unlink(path) == 0;
}

int64_t LengthNative(int handle)
{
    // The 64-bit query, so that a file of 2 GiB or more is seen as such
    // rather than as a wrapped 32-bit length.
    return _filelengthi64(handle);
}

bool ExistsNative(const char *path)
{
    return _access(path, 0) == 0;
}

}  // namespace

const FileTable NativeFiles = {OpenNative,   ReadNative,       WriteNative,  SeekNative,   ResizeNative,
                               CloseNative,  SyncNative,       SyncFolderNative, RemoveNative,
                               LengthNative, ExistsNative,     AllocateFromRuntime, ReleaseToRuntime};
const FileTable *Files = &NativeFiles;

}  // namespace dorvan::platform
