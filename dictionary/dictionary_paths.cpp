#include "dictionary/dictionary_paths.h"

#include <cstring>

#include "platform/file_access.h"

namespace dorvan {

bool PathFits(const char *path, size_t bytes)
{
    return bytes < PathBufferSize && platform::PathLength(path) <= platform::PathLengthLimit;
}

size_t ComposePathInto(char *out, size_t capacity, const char *directory, const char *fileName)
{
    const size_t directoryLength = std::strlen(directory), nameLength = std::strlen(fileName);
    const bool separated = directoryLength > 0 && directory[directoryLength - 1] != '\\' &&
                           directory[directoryLength - 1] != '/';
    const size_t length = directoryLength + (separated ? 1 : 0) + nameLength;
    if (capacity == 0)
        return length;
    size_t written = 0;
    auto put = [&](const char *bytes, size_t count) {
        size_t room = capacity - 1 - written;
        size_t taken = count < room ? count : room;
        std::memcpy(out + written, bytes, taken);
        written += taken;
    };
    const char separator = platform::PathSeparator;
    put(directory, directoryLength);
    if (separated)
        put(&separator, 1);
    put(fileName, nameLength);
    out[written] = '\0';
    return length;
}

bool ComposePath(ComposedPath &path, const char *directory, const char *fileName)
{
    path.fits = PathFits(path.text, ComposePathInto(path.text, PathBufferSize, directory, fileName));
    return path.fits;
}

Status BuildDictionaryPath(ComposedPath &path, const char *directory)
{
    const bool found = ComposePath(path, directory, DictionaryFileName) && platform::FileExists(platform::NoFolder, path.text);
    return found ? Success : StatusOf(StatusCode::FileMissing, FileRole::Dictionary);
}

}  // namespace dorvan
