// The numbered backup copies of the dictionary beside it: their names,
// and a copy made so that no numbered name ever holds less than a whole
// dictionary.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_folder.h"

namespace dorvan {

// The name of the numbered copy `counter` of the dictionary named
// `dictionaryName`: its extension is the counter written as "%03u". False
// when that name has no extension to replace or the copy's name would not
// fit a path buffer.
bool NumberedCopyName(const char *dictionaryName, uint32_t counter, char (&name)[PathBufferSize]);

// The number of the first numbered copy in the folder that does not exist
// yet.
uint32_t FirstFreeCopyNumber(const DictionaryFolder &folder);

// Leaves a copy of the dictionary's content beside it, under the first
// free name whose extension is the counter written as "%03u" (000, 001,
// ..., 999, 1000, ...). Existing copies are never written over. A copy
// that cannot be made whole fails, and leaves nothing behind where
// anything can still be removed.
// A copy in progress found there that another account may have written is
// left alone, and no copy is made (WrittenByOther).
Status MakeNumberedBackup(const DictionaryFolder &folder, const uint8_t *block, int32_t length);

// Removes a copy in progress that a crash left beside the dictionary;
// WrittenByOther, leaving it, when another account may have written it.
Status RemoveCopyInProgress(const DictionaryFolder &folder);

}  // namespace dorvan
