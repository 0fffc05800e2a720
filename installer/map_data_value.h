#pragma once

#include "dictionary/dictionary_paths.h"
#include "platform/registry.h"

namespace dorvan {

// Reads string value `name` of `key` into a path buffer. The buffer is
// left empty unless the query succeeds with a REG_SZ value that ends
// within the buffer; a value that fills all of it without a terminator, or
// a larger one, counts as missing. Returns 1 for a non-empty string.
int ReadStringValue(platform::RegistryKey key, const char *name, char (&buffer)[PathBufferSize]);

// The host's record of its map data directory: value "MapData".
int ReadMapDataValue(platform::RegistryKey key, char (&buffer)[PathBufferSize]);

}  // namespace dorvan
