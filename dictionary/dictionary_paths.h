// The host's file names, and the paths the library composes from them in
// path buffers.
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

// The library's own beside the dictionary, which the host never reads: the
// rollback journal of an edit running or interrupted, and a numbered copy
// still being written, which takes its number only once it is whole and
// durable, so that no numbered name ever holds less than a whole
// dictionary.
constexpr char JournalName[] = "Geodict.dct-journal";
constexpr char CopyInProgressName[] = "Geodict.~cp";

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

}  // namespace dorvan
