#pragma once

#include <string>

#include "dictionary/whole_file_reader.h"

namespace dorvan {

// The dictionary of a map data directory read whole, for an installer
// action: a missing dictionary is shown with message 19 (whatever the owner
// window), a failed read by the reader when `owner` is not null. `path`
// receives the dictionary path for later messages.
WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, std::string &path);

// An installer action's answer after it wrote the dictionary: 1, or 0
// with message 23 and the dictionary path. The caller has released the
// dictionary before.
unsigned char AnswerDictionaryWrite(void *owner, bool written, const std::string &path);

// The same for a service function: silent.
WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode);

}  // namespace dorvan
