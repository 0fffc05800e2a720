#pragma once

#include <string>
#include <string_view>

namespace dorvan {

// Every path the library opens fits this buffer size, terminator included.
constexpr size_t PathBufferSize = 260;

// `directory` then `fileName`, with the platform's separator between them
// unless the directory is empty or already ends in '\' or '/'.
std::string ComposePath(std::string_view directory, std::string_view fileName);

bool FitsPathBuffer(const std::string &path);

// Composes the dictionary path of a map data directory into `path` and
// answers 1 when that file exists, else 0. A path too long for a path
// buffer is never opened: it counts as a file that does not exist, and
// `path` still holds it as composed, for messages.
int BuildDictionaryPath(std::string &path, const char *directory);

}  // namespace dorvan
