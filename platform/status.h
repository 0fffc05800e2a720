// The one way a failure travels up through the library: every routine,
// from the platform layer to the exports' own work, answers a Status, and
// only the exports turn it into what their callers see (edge/answers.h).
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
    NotRecords,    // an entry that is not whole records naming the map file, or
                   // a dictionary naming it outside any record
    WrittenByOther,  // a journal or copy that another account may have
                     // written, or a file with other names too: left alone
    // The registry and the host
    RegistryMissing,     // no such key or value
    RegistryFailed,      // any other failure to read or write it
    RegistryKeyNotMade,  // the host's directory key cannot be created
    HostNotFound,        // the host is not installed
};

// Which file a status concerns, by its part in the work rather than by a
// path: the edge that answers composes the message's path from its own
// inputs, so no status can point at memory that is gone.
enum class FileRole : uint8_t {
    None,
    Dictionary,    // "Geodict.dct" in the map data directory
    Entry,         // "GeoExt.gxt" in the setup's source folder
    NumberedCopy,  // a numbered copy beside the dictionary
    Journal,       // the dictionary's rollback journal
    CopyInProgress,  // a numbered copy still being written
    CallersFile,   // a file the caller named itself
    RegistryKey,   // one of the host's registry keys
};

struct Status {
    StatusCode code = StatusCode::Ok;
    FileRole file = FileRole::None;

    bool Ok() const { return code == StatusCode::Ok; }
};

constexpr Status StatusOf(StatusCode code, FileRole file = FileRole::None)
{
    return Status{code, file};
}

// A failure as concerning `file`; success stays success.
constexpr Status Concerning(Status status, FileRole file)
{
    return status.code == StatusCode::Ok ? status : Status{status.code, file};
}

constexpr Status Success{};

}  // namespace dorvan
