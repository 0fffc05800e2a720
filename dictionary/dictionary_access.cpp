#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_lock.h"
#include "dictionary/numbered_copies.h"

namespace dorvan {

Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, Dictionary &dictionary)
{
    using platform::FileLock;
    DictionaryFolder &folder = dictionary.folder;
    Status status = OpenDictionaryFolder(mapDataDir, folder);
    if (status.Ok())
        status = HoldDictionary(folder, mode == platform::FileMode::ReadWrite ? FileLock::Exclusive : FileLock::Shared);
    // Under a shared hold no edit is running: a journal is a crash's, and
    // only an exclusive hold may roll it back.
    if (status.Ok() && mode != platform::FileMode::ReadWrite && JournalLeftBeside(folder))
        status = HoldDictionary(folder, FileLock::Exclusive);
    if (status.Ok())
        status = RollBackInterruptedEdit(folder, mode);
    // Before an edit, what a crash left of a numbered copy goes.
    if (status.Ok() && mode == platform::FileMode::ReadWrite)
        status = RemoveCopyInProgress(folder);
    if (status.Ok())
        status = ReadWholeFile(folder.Get(), DictionaryFileName, mode, FileRole::Dictionary, dictionary.file);
    return status;
}

}  // namespace dorvan
