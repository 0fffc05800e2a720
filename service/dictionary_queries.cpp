// The dictionary queries: is a name registered in "Geodict.dct"?
#include "bytes/byte_search.h"
#include "dictionary/dictionary_access.h"
#include "dorvan_setup.h"
#include "edge/answers.h"
#include "edge/caller_paths.h"

namespace dorvan {

namespace {

Status FindNameInDictionary(const char *mapDataDir, const char *name, bool &found)
{
    // Read-only, so a read-only dictionary is answered too.
    Dictionary dictionary;
    const Status status = ReadDictionary(mapDataDir, platform::FileMode::ReadOnly, dictionary);
    if (!status.Ok())
        return status;
    dictionary.file.handle.Close();
    found = FindBytes(dictionary.file.begin(), name, dictionary.file.end()) != nullptr;
    return Success;
}

template <typename Char>
int AnswerFind(const Char *mapDataDir, const char *name)
{
    const CallerPath directory(mapDataDir);
    bool found = false;
    const Status status = directory.Held() ? FindNameInDictionary(directory.Get(), name, found) : PathsNotHeld;
    return AnswerServiceFunction(status, found ? 1 : 0, -1);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictFind(const char *mapDataDir, const char *name)
{
    return dorvan::AnswerFind(mapDataDir, name);
}

extern "C" DORVAN_API int DORVAN_CALL GeoDictFindW(const wchar_t *mapDataDir, const char *name)
{
    return dorvan::AnswerFind(mapDataDir, name);
}

extern "C" DORVAN_API int DORVAN_CALL VorezuInstalled(const char *mapDataDir)
{
    return dorvan::AnswerFind(mapDataDir, dorvan::MapFileName);
}

extern "C" DORVAN_API int DORVAN_CALL VorezuInstalledW(const wchar_t *mapDataDir)
{
    return dorvan::AnswerFind(mapDataDir, dorvan::MapFileName);
}
