#pragma once

#include <cstdint>
#include <string>

namespace dorvan {

// Leaves a copy of the dictionary's content beside it, under the first
// free name whose extension is the counter written as "%03u" (000, 001,
// ..., 999, 1000, ...). Existing copies are never written over. Reports
// nothing: a copy that cannot be made is skipped, and the caller's edit
// goes ahead.
void MakeNumberedBackup(const std::string &dictionaryPath, const uint8_t *block, int32_t length);

}  // namespace dorvan
