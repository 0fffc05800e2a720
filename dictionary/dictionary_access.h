// The dictionary as each export reads it: its path composed, the
// dictionary held for the call, an edit that was interrupted rolled back,
// and the file read whole. The one way in for every export.
#pragma once

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_folder.h"

namespace dorvan {

struct Dictionary {
    DictionaryFolder folder;  // the dictionary held in it until the call is done
    WholeFile file;           // closed before the lock is given up
};

// Reads the dictionary of `mapDataDir` whole into `dictionary`, open with
// `mode`: read-write for an edit, held exclusive; read-only for a query,
// held shared (exclusive while it rolls back an interrupted edit). Every
// failure concerns the dictionary: FileMissing (no such file, or a path
// too long for a path buffer), FileInUse (held by another call past the
// wait), JournalStuck (an interrupted edit that cannot be rolled back
// now), WrittenByOther (a journal or copy in progress beside it that
// another account may have written, concerning that file), or the
// reader's.
Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, Dictionary &dictionary);

}  // namespace dorvan
