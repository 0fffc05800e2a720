#pragma once

#include "dictionary/dictionary_paths.h"
#include "dictionary/whole_file_reader.h"

namespace dorvan {

// Shows message `id` with a composed path as its insert, whole even when it
// is too long for a path buffer.
void ShowPathMessage(void *owner, unsigned id, const ComposedPath &path);

// The dictionary of a map data directory read whole, for an installer
// action: a missing dictionary is shown with message 19 (whatever the owner
// window), a failed read by the reader when `owner` is not null. `path`
// receives the dictionary path for later messages.
WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, ComposedPath &path);

// An installer action's answer after it wrote the dictionary: 1, or 0
// with message 23 and the dictionary path. The caller has released the
// dictionary before.
unsigned char AnswerDictionaryWrite(void *owner, bool written, const char *path);

// The same for a service function: silent.
WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode);

}  // namespace dorvan
