// Unregisters the map set: cuts every dictionary record naming the Poland
// map file out of the geographic dictionary, after a numbered backup.
#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_paths.h"
#include "dorvan.h"

namespace dorvan {

namespace {

unsigned char UnregisterMapSet(void *owner, const char *targetDir)
{
    ComposedPath dictionaryPath;
    WholeFile dictionary = ReadDictionaryForInstaller(owner, targetDir, dictionaryPath);
    if (!dictionary.IsRead())
        return 0;

    // Always, before the content is examined, so a copy is left even when
    // nothing will be removed.
    MakeNumberedBackup(dictionaryPath.text, dictionary.block.get(), dictionary.length);

    RemovalOutcome removal = RemoveRecordsFromDictionary(dictionaryPath.text, dictionary, MapFileName, NameMatching::Exact);
    dictionary.block.reset();
    return AnswerDictionaryWrite(owner, removal != RemovalOutcome::Failed, dictionaryPath.text);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API unsigned char DORVAN_CALL ClearGeoDict(DorvanWindow owner, const char *, const char *,
                                                             const char *targetDir, const char *)
{
    return dorvan::UnregisterMapSet(owner, targetDir);
}
