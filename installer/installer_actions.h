// The installer actions' work, shared by the two libraries: Dorvan.dll
// shows a failure in a message box, DorvanSetup.dll hands it back with its
// text. Each answers the status that says what failed and which file.
#pragma once

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

}  // namespace dorvan
