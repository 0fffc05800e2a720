#include "dictionary/dictionary_folder.h"

namespace dorvan {

Status OpenDictionaryFolder(const char *mapDataDir, DictionaryFolder &folder)
{
    const Status missing = StatusOf(StatusCode::FileMissing, FileRole::Dictionary);
    ComposedPath path;
    if (!BuildDictionaryPath(path, mapDataDir).Ok())
        return missing;
    if (!folder.folder.OpenFolder(mapDataDir[0] ? mapDataDir : ".").Ok() ||
        !platform::FileExists(folder.Get(), DictionaryFileName))
        return missing;
    return Success;
}

Status CheckWrittenByTrusted(const DictionaryFolder &folder, const char *name, FileRole role)
{
    if (!platform::FileExists(folder.Get(), name))
        return Success;
    platform::FileHandle file;
    const Status opened = file.Open(folder.Get(), name, platform::FileMode::CopyOnly);
    if (opened.code == StatusCode::FileMissing)
        return Success;
    if (!opened.Ok() || !platform::FileTrusted(file.Get(), folder.lock.Get()).Ok())
        return StatusOf(StatusCode::WrittenByOther, role);
    return Success;
}

}  // namespace dorvan
