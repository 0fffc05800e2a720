#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_journal.h"

namespace dorvan {

Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, ComposedPath &path, WholeFile &dictionary)
{
    Status status = BuildDictionaryPath(path, mapDataDir);
    if (status.Ok())
        status = RollBackInterruptedEdit(path.text, mode);
    // Before an edit, what a crash left of a numbered copy goes.
    if (status.Ok() && mode == platform::FileMode::ReadWrite)
        RemoveCopyInProgress(path.text);
    if (status.Ok())
        status = ReadWholeFile(path.text, mode, dictionary);
    return status;
}

}  // namespace dorvan
