#include "dictionary/copy_restore.h"

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_lock.h"
#include "dictionary/dictionary_paths.h"
#include "dictionary/numbered_copies.h"

namespace dorvan {

Status RestoreNumberedCopy(const char *dictionaryPath, uint32_t number)
{
    char name[PathBufferSize];
    if (!NumberedCopyName(dictionaryPath, number, name) || !platform::FileExists(name))
        return StatusOf(StatusCode::CopyMissing, FileRole::NumberedCopy);
    WholeFile copy;
    // A copy that cannot be read whole, or whose last record is cut short,
    // is nothing to put back.
    Status status = ReadWholeFile(name, platform::FileMode::CopyOnly, FileRole::NumberedCopy, copy);
    copy.handle.Close();
    if (!status.Ok() || FirstRecordCutShort(copy.begin(), copy.length) >= 0)
        return StatusOf(StatusCode::CopyNotWhole, FileRole::NumberedCopy);
    platform::FileHandle lock;
    if (!(status = HoldDictionary(dictionaryPath, platform::FileLock::Exclusive, lock)).Ok() ||
        !(status = RollBackInterruptedEdit(dictionaryPath, platform::FileMode::ReadWrite)).Ok())
        return status;
    RemoveCopyInProgress(dictionaryPath);
    WholeFile dictionary;
    if (!(status = ReadWholeFile(dictionaryPath, platform::FileMode::ReadWrite, FileRole::Dictionary, dictionary)).Ok())
        return status;
    // The dictionary being replaced is the user's too.
    if (!MakeNumberedBackup(dictionaryPath, dictionary.begin(), dictionary.length).Ok())
        return StatusOf(StatusCode::WriteFailed, FileRole::NumberedCopy);
    return ReplaceDictionary(dictionaryPath, dictionary, copy.begin(), copy.length);
}

}  // namespace dorvan
