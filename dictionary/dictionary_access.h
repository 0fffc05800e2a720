// The dictionary as each export reads it: its path composed, an edit that
// was interrupted rolled back, and the file read whole. The one way in for
// every export.
#pragma once

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_paths.h"

namespace dorvan {

struct Dictionary {
    ComposedPath path;
    WholeFile file;
};

// Reads the dictionary of `mapDataDir` whole into `dictionary`, open with
// `mode`: read-write for an edit, read-only for a query. Every failure
// concerns the dictionary: FileMissing (no such file, or a path too long
// for a path buffer), JournalStuck (an interrupted edit that cannot be
// rolled back now), or the reader's.
Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, Dictionary &dictionary);

}  // namespace dorvan
