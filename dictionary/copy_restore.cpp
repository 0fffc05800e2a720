#include "dictionary/copy_restore.h"

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_lock.h"
#include "dictionary/numbered_copies.h"

namespace dorvan {

Status ReadTrustedCopy(const DictionaryFolder &folder, uint32_t number, WholeFile &copy)
{
    char name[PathBufferSize];
    if (!NumberedCopyName(DictionaryFileName, number, name) || !platform::FileExists(folder.Get(), name))
        return StatusOf(StatusCode::CopyMissing, FileRole::NumberedCopy);
    Status status = ReadWholeFile(folder.Get(), name, platform::FileMode::CopyOnly, FileRole::NumberedCopy, copy);
    if (status.Ok())
        status = Concerning(platform::FileTrusted(copy.handle.Get(), folder.lock.Get()), FileRole::NumberedCopy);
    copy.handle.Close();
    return status;
}

Status RestoreNumberedCopy(const char *mapDataDir, uint32_t number)
{
    DictionaryFolder folder;
    Status status = OpenDictionaryFolder(mapDataDir, folder);
    if (!status.Ok() || !(status = HoldDictionary(folder, platform::FileLock::Exclusive)).Ok())
        return status;
    WholeFile copy;
    // A copy that cannot be read whole, or whose last record is cut short,
    // is nothing to put back; nor is one that another account may have
    // written.
    status = ReadTrustedCopy(folder, number, copy);
    if (status.code == StatusCode::CopyMissing || status.code == StatusCode::WrittenByOther)
        return status;
    if (!status.Ok() || FirstRecordCutShort(copy.begin(), copy.length) >= 0)
        return StatusOf(StatusCode::CopyNotWhole, FileRole::NumberedCopy);
    if (!(status = RollBackInterruptedEdit(folder, platform::FileMode::ReadWrite)).Ok() ||
        !(status = RemoveCopyInProgress(folder)).Ok())
        return status;
    WholeFile dictionary;
    if (!(status = ReadWholeFile(folder.Get(), DictionaryFileName, platform::FileMode::ReadWrite, FileRole::Dictionary,
                                 dictionary))
             .Ok())
        return status;
    // The dictionary being replaced is the user's too.
    if (!(status = MakeNumberedBackup(folder, dictionary.begin(), dictionary.length)).Ok())
        return status.code == StatusCode::WrittenByOther ? status
                                                         : StatusOf(StatusCode::WriteFailed, FileRole::NumberedCopy);
    return ReplaceDictionary(folder, dictionary, copy.begin(), copy.length);
}

}  // namespace dorvan
