#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_journal.h"
#include "dictionary/numbered_copies.h"

namespace dorvan {

Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, Dictionary &dictionary)
{
    Status status = BuildDictionaryPath(dictionary.path, mapDataDir);
    if (status.Ok())
        status = RollBackInterruptedEdit(dictionary.path.text, mode);
    // Before an edit, what a crash left of a numbered copy goes.
    if (status.Ok() && mode == platform::FileMode::ReadWrite)
        RemoveCopyInProgress(dictionary.path.text);
    if (status.Ok())
        status = ReadWholeFile(dictionary.path.text, mode, FileRole::Dictionary, dictionary.file);
    return status;
}

}  // namespace dorvan
