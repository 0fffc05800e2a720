// The one way a failure travels up through the library: every routine,
// from the platform layer to the exports' own work, answers a Status, and
// only the exports turn it into what their callers see (frame/answers.h).
#pragma once

#include <cstdint>

namespace dorvan {

enum class StatusCode : uint8_t {
    Ok,
    // Files
    FileMissing,   // no such file
    NameTaken,     // a file to be created exclusively exists already
    FileInUse,     // held by another process's edit
    CannotOpen,    // cannot be opened, is no regular file, or its path is too long
    NotPermitted,  // the folder or the file denies it (no rights)
    CannotSize,    // its length is unknown or beyond the 32-bit range
    NoMemory,      // no heap block for it
    ReadFailed,    // a read failed, or the file ended before its length
    WriteFailed,   // a write, cut, sync, close or removal failed
    JournalStuck,  // an interrupted edit's journal cannot be rolled back now,
                   // or its rollback could not clear it before an edit
    CopyMissing,   // no numbered copy holds the bytes to put back
    CopyNotWhole,  // a numbered copy to put back is no whole dictionary
    // The registry and the host
    RegistryMissing,     // no such key or value
    RegistryFailed,      // any other failure to read or write it
    RegistryKeyNotMade,  // the host's directory key cannot be created
    HostNotFound,        // the host is not installed
};

struct Status {
    StatusCode code = StatusCode::Ok;
    // The file it concerns, for the message that names it: a whole path,
    // or, with `fileName` set, the folder of a path too long to compose.
    const char *file = nullptr;
    const char *fileName = nullptr;

    bool Ok() const { return code == StatusCode::Ok; }
};

constexpr Status StatusOf(StatusCode code, const char *file = nullptr)
{
    return Status{code, file, nullptr};
}

constexpr Status Success{};

}  // namespace dorvan
