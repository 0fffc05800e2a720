// The dictionary queries: is a name registered in "Geodict.dct"?
#include "dictionary/byte_search.h"
#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_paths.h"
#include "dorvan.h"

namespace dorvan {

namespace {

int FindNameInDictionary(const char *mapDataDir, const char *name)
{
    // Read-only, so a read-only dictionary is answered too.
    ComposedPath dictionaryPath;
    WholeFile dictionary = ReadDictionaryQuietly(mapDataDir, platform::FileMode::ReadOnly, dictionaryPath);
    if (!dictionary.IsRead())
        return -1;
    dictionary.handle.Close();
    return FindBytes(dictionary.begin(), name, dictionary.end()) ? 1 : 0;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictFind(const char *mapDataDir, const char *name)
{
    return dorvan::FindNameInDictionary(mapDataDir, name);
}

extern "C" DORVAN_API int DORVAN_CALL VorezuInstalled(const char *mapDataDir)
{
    return dorvan::FindNameInDictionary(mapDataDir, dorvan::MapFileName);
}
