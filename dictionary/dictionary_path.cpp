#include "dictionary/dictionary_path.h"

#include "dictionary/host_file_names.h"
#include "platform/file_access.h"

namespace dorvan {

std::string ComposePath(std::string_view directory, std::string_view fileName)
{
    std::string path(directory);
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += platform::PathSeparator;
    path += fileName;
    return path;
}

bool FitsPathBuffer(const std::string &path)
{
    return path.size() < PathBufferSize;
}

int BuildDictionaryPath(std::string &path, const char *directory)
{
    path = ComposePath(directory, DictionaryFileName);
    return FitsPathBuffer(path) && platform::FileExists(path.c_str()) ? 1 : 0;
}

}  // namespace dorvan
