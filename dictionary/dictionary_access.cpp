#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_lock.h"
#include "dictionary/numbered_copies.h"

namespace dorvan {

Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, Dictionary &dictionary)
{
    using platform::FileLock;
    Status status = BuildDictionaryPath(dictionary.path, mapDataDir);
    const char *path = dictionary.path.text;
    if (status.Ok())
        status = HoldDictionary(path, mode == platform::FileMode::ReadWrite ? FileLock::Exclusive : FileLock::Shared,
                                dictionary.lock);
    // Under a shared hold no edit is running: a journal is a crash's, and
    // only an exclusive hold may roll it back.
    if (status.Ok() && mode != platform::FileMode::ReadWrite && JournalLeftBeside(path))
        status = HoldDictionary(path, FileLock::Exclusive, dictionary.lock);
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
