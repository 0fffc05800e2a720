// The installer actions' work, shared by the two libraries: Dorvan.dll
// shows a failure in a message box, DorvanSetup.dll hands it back with its
// text. Each answers the status that says what failed and which file.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_paths.h"

namespace dorvan {

// The files a status may name. They belong to the caller, so that they
// outlive the work that composed them.
struct InstallerPaths {
    ComposedPath dictionary;
    ComposedPath entry;
};

// The host's map data directory into `targetDir` (260 bytes): from its
// registry record, or derived from the common-files directory, checked and
// recorded. HostNotFound, or RegistryKeyNotMade.
Status DiscoverMapDataDirectory(char *targetDir);

// Appends the entry "GeoExt.gxt" of `sourceDir` to the dictionary of
// `targetDir`, once, after a numbered backup.
Status AppendMapSetEntry(const char *sourceDir, const char *targetDir, InstallerPaths &paths);

// Cuts every record naming the map file out of the dictionary of
// `targetDir`, after a numbered backup.
Status RemoveMapSetRecords(const char *targetDir, InstallerPaths &paths);

// What an installer's rollback needs to put the dictionary back byte for
// byte after a registration or removal: its length and checksum before
// the change, and the number of the copy the change will leave of it.
struct DictionarySnapshot {
    int32_t length;
    uint64_t checksum;
    uint32_t copyNumber;
};

Status TakeDictionarySnapshot(const char *targetDir, DictionarySnapshot &snapshot, InstallerPaths &paths);

// Puts the dictionary of `targetDir` back as `snapshot` saw it: nothing to
// do when it holds those bytes; else they come back from the numbered copy
// that holds them (the one the change left, or an earlier one), through
// the journal. CopyMissing when no copy holds them.
Status RestoreDictionarySnapshot(const char *targetDir, const DictionarySnapshot &snapshot, InstallerPaths &paths);

}  // namespace dorvan
