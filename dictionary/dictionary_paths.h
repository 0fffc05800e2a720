// The host's file names, the paths the library composes from them in path
// buffers, and the numbered backup copies of the dictionary.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/path_text.h"
#include "platform/status.h"

namespace dorvan {

// The host's file names, in their exact letter case.
constexpr char DictionaryFileName[] = "Geodict.dct";  // the geographic dictionary
constexpr char EntryFileName[] = "GeoExt.gxt";        // the map set's entry, shipped with the setup
constexpr char MapFileName[] = "Pols0000.GST";        // the Poland map file the records name

// Every path the library opens fits a buffer of this size, terminator
// included, and the platform's length limit.
using platform::PathBufferSize;

// Whether a path of `bytes` bytes (terminator not counted) can be opened:
// it fits a path buffer and the platform's length limit.
bool PathFits(const char *path, size_t bytes);

// `directory` then `fileName`, with the platform's separator between them
// unless the directory is empty or already ends in '\' or '/'. A path too
// long for the buffer is never opened; its text holds as much as fits.
struct ComposedPath {
    char text[PathBufferSize];
    bool fits;
};

bool ComposePath(ComposedPath &path, const char *directory, const char *fileName);

// Writes as much of the composed path into `out` as `capacity` bytes hold,
// terminated (nothing for a capacity of 0). Returns the whole path's
// length, terminator not counted.
size_t ComposePathInto(char *out, size_t capacity, const char *directory, const char *fileName);

// Composes the dictionary path of a map data directory; FileMissing, for
// the dictionary, when that file does not exist. A path too long for a
// path buffer counts as a file that does not exist.
Status BuildDictionaryPath(ComposedPath &path, const char *directory);

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
