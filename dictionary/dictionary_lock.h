// The dictionary held for the whole of one call, as SQLite holds its
// database: an edit holds it exclusive from before its first read until
// its journal is gone, and a query holds it shared while it reads. So no
// call reads bytes that another is changing, none edits from a read that
// another edit has made stale, and none takes another's journal or copy in
// progress for what a crash left: those are rolled back, discarded or
// removed only by a call that holds the dictionary exclusive.
//
// The lock is on "Geodict.dct" itself, through a handle of its own that
// lives as long as the call: no other file is made for it, and it ends
// with its holder however that ends. It is the library's alone: the host,
// and any program that does not take it, reads the dictionary as before.
#pragma once

#include "dictionary/dictionary_folder.h"

namespace dorvan {

// How long a call waits for a dictionary that another call holds. Past it,
// the call answers as for a dictionary in use, having changed nothing.
constexpr int DictionaryWaitMilliseconds = 5000;

// Holds the dictionary in `folder` with a lock of `kind` through its
// `lock` handle (opened here when it is not open yet; a lock it holds is
// given up for the new one), waiting while another call holds it, up to the
// bound. FileInUse, naming the dictionary, past the bound; the open's
// failures as they are. On a file system that takes no locks at all, the
// dictionary is used unlocked, as it always was.
Status HoldDictionary(DictionaryFolder &folder, platform::FileLock kind);

}  // namespace dorvan
