// Unregisters the map set: cuts every dictionary record naming the Poland
// map file out of the geographic dictionary, after a numbered backup.
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "dorvan.h"
#include "frame/answers.h"

namespace dorvan {

namespace {

// The path belongs to the caller, so that the status can name it.
Status UnregisterMapSet(const char *targetDir, ComposedPath &dictionaryPath)
{
    WholeFile dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionaryPath, dictionary);
    if (!status.Ok())
        return status;

    // Always, before the content is examined, so a copy is left even when
    // nothing will be removed. A copy that cannot be made (a full disk, no
    // rights) does not stop the edit.
    (void)MakeNumberedBackup(dictionaryPath.text, dictionary.begin(), dictionary.length);

    bool removed = false;
    return RemoveRecordsFromDictionary(dictionaryPath.text, dictionary, MapFileName, NameMatching::Exact, removed);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API unsigned char DORVAN_CALL ClearGeoDict(DorvanWindow owner, const char *, const char *,
                                                             const char *targetDir, const char *)
{
    dorvan::ComposedPath dictionaryPath;
    return dorvan::AnswerInstallerAction(owner, dorvan::UnregisterMapSet(targetDir, dictionaryPath));
}
