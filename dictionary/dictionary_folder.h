// The map data directory as one call sees it: opened once, at the path the
// registry or the caller names, and from then on the only way to the
// dictionary, its journal and its copies, each reached by its own name in
// it. So no one who may add or replace files in the folder, or replace a
// folder on its path, can send a later step of the call anywhere else.
#pragma once

#include "dictionary/dictionary_paths.h"
#include "platform/file_access.h"

namespace dorvan {

struct DictionaryFolder {
    platform::FileHandle folder;  // the map data directory
    platform::FileHandle lock;    // the dictionary, held for the call (dictionary_lock.h)

    int Get() const { return folder.Get(); }
};

// Opens the map data directory `mapDataDir` ("" is the current folder)
// into `folder`. FileMissing, naming the dictionary, when the dictionary's
// whole path would not fit a path buffer, the folder cannot be opened, or
// no dictionary is in it.
Status OpenDictionaryFolder(const char *mapDataDir, DictionaryFolder &folder);

// Whether a journal or copy named `name` in the folder may be used or
// removed: Success when there is none, or when it is a regular file with
// no other name, written by the dictionary's owner, the caller, the
// administrators or the system; else WrittenByOther, concerning `role`,
// and it is to be left where it is.
Status CheckWrittenByTrusted(const DictionaryFolder &folder, const char *name, FileRole role);

}  // namespace dorvan
