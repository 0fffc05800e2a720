// A numbered copy put back in place of the dictionary, for support staff:
// what a user would do with a copy command, done so that no journal left
// by a crash can undo it and a crash during it leaves the old or the
// restored bytes.
#pragma once

#include <cstdint>

#include "platform/status.h"

namespace dorvan {

// Puts "Geodict.NNN" (`number` written as "%03u") back as the dictionary
// of `dictionaryPath`, holding the dictionary exclusive: first an
// interrupted edit's journal is rolled back or cleared, as the next call
// would; then the dictionary it replaces is left as a numbered copy; then
// the copy's bytes go in through the journal.
// CopyMissing when there is no such copy; CopyNotWhole when it is no
// regular file in the folder (a FIFO, a folder, a link), cannot be read
// whole, or one of its records runs past its end; JournalStuck, or the
// reader's and the edit's failures, naming the dictionary, otherwise.
// Nothing is changed before the copy is read.
Status RestoreNumberedCopy(const char *dictionaryPath, uint32_t number);

}  // namespace dorvan
