// The numbered backup copies of the dictionary beside it: their names,
// and a copy made so that no numbered name ever holds less than a whole
// dictionary.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_paths.h"

namespace dorvan {

// The name of the numbered copy `counter` of the dictionary: its extension
// is the counter written as "%03u". False when the dictionary's name has no
// extension to replace or the copy's name would not fit a path buffer.
bool NumberedCopyName(const char *dictionaryPath, uint32_t counter, char (&name)[PathBufferSize]);

// The number of the first numbered copy that does not exist yet.
uint32_t FirstFreeCopyNumber(const char *dictionaryPath);

// The extension of a numbered copy still being written, in place of the
// dictionary's ("Geodict.~cp"): it takes its number only once it is whole
// and durable, so that no numbered name ever holds less than a whole
// dictionary. As long as "000", it fits wherever the first copy's name does.
constexpr char CopyInProgressExtension[] = "~cp";

// Leaves a copy of the dictionary's content beside it, under the first
// free name whose extension is the counter written as "%03u" (000, 001,
// ..., 999, 1000, ...). Existing copies are never written over. A copy
// that cannot be made whole fails, and leaves nothing behind where
// anything can still be removed.
Status MakeNumberedBackup(const char *dictionaryPath, const uint8_t *block, int32_t length);

// Removes a copy in progress that a crash left beside the dictionary.
void RemoveCopyInProgress(const char *dictionaryPath);

}  // namespace dorvan
