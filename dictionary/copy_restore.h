// A numbered copy put back in place of the dictionary, for support staff:
// what a user would do with a copy command, done so that no journal left
// by a crash can undo it and a crash during it leaves the old or the
// restored bytes.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_folder.h"

namespace dorvan {

// Puts "Geodict.NNN" (`number` written as "%03u") back as the dictionary
// of the map data directory `mapDataDir`, holding the dictionary
// exclusive: first an interrupted edit's journal is rolled back or
// cleared, as the next call would; then the dictionary it replaces is left
// as a numbered copy; then the copy's bytes go in through the journal.
// CopyMissing when there is no such copy; CopyNotWhole when it is no
// regular file in the folder (a FIFO, a folder, a link), cannot be read
// whole, or one of its records runs past its end; WrittenByOther when
// another account may have written it, or it has other names;
// JournalStuck, or the reader's and the edit's failures, naming the
// dictionary, otherwise. Nothing is changed before the copy is read.
Status RestoreNumberedCopy(const char *mapDataDir, uint32_t number);

// Reads the numbered copy `number` in the folder whole into `copy`, its
// handle closed: CopyMissing when there is none, WrittenByOther when
// another account may have written it, or the reader's failures.
Status ReadTrustedCopy(const DictionaryFolder &folder, uint32_t number, WholeFile &copy);

}  // namespace dorvan
