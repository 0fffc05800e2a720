#include "dictionary/numbered_copies.h"

#include <cstring>

#include "platform/file_access.h"

namespace dorvan {

namespace {

constexpr Status NotMade = StatusOf(StatusCode::WriteFailed);

}  // namespace

bool NumberedCopyName(const char *dictionaryName, uint32_t counter, char (&name)[PathBufferSize])
{
    const char *dot = std::strrchr(dictionaryName, '.');
    if (!dot)
        return false;
    const size_t stemLength = static_cast<size_t>(dot - dictionaryName) + 1;
    char extension[16];
    platform::FormatBackupNumber(extension, counter);
    const size_t extensionLength = std::strlen(extension);
    if (stemLength + extensionLength >= PathBufferSize)
        return false;
    std::memcpy(name, dictionaryName, stemLength);
    std::memcpy(name + stemLength, extension, extensionLength + 1);
    return PathFits(name, stemLength + extensionLength);
}

uint32_t FirstFreeCopyNumber(const DictionaryFolder &folder)
{
    char name[PathBufferSize];
    uint32_t counter = 0;
    while (counter != UINT32_MAX && NumberedCopyName(DictionaryFileName, counter, name) &&
           platform::FileExists(folder.Get(), name))
        ++counter;
    return counter;
}

namespace {

// Writes the copy in progress whole and durably, and closes it.
Status WriteCopyInProgress(const DictionaryFolder &folder, const uint8_t *block, int32_t length)
{
    platform::FileHandle copy;
    Status status = copy.Open(folder.Get(), CopyInProgressName, platform::FileMode::CreateNew);
    if (status.code == StatusCode::NameTaken) {
        // Left by a crash, or by an edit running now, whose copy then
        // fails in its turn: neither is a numbered copy yet.
        if (!(status = RemoveCopyInProgress(folder)).Ok())
            return status;
        status = copy.Open(folder.Get(), CopyInProgressName, platform::FileMode::CreateNew);
    }
    if (!status.Ok())
        return status;
    if ((status = platform::FileWrite(copy.Get(), 0, block, length)).Ok())
        status = platform::FileSync(copy.Get());
    const Status closed = copy.Close();
    return status.Ok() ? closed : status;
}

}  // namespace

Status RemoveCopyInProgress(const DictionaryFolder &folder)
{
    const Status trusted = CheckWrittenByTrusted(folder, CopyInProgressName, FileRole::CopyInProgress);
    if (trusted.Ok() && platform::FileExists(folder.Get(), CopyInProgressName))
        platform::FileRemove(folder.Get(), CopyInProgressName);
    return trusted;
}

Status MakeNumberedBackup(const DictionaryFolder &folder, const uint8_t *block, int32_t length)
{
    char name[PathBufferSize];
    // A copy cut short (a full disk, a file-size limit) is no copy of the
    // dictionary; it never takes a number. The copy is made durable first:
    // after a crash, it may be what a rollback or a user puts back.
    const Status written = WriteCopyInProgress(folder, block, length);
    if (written.code == StatusCode::WrittenByOther)
        return written;
    if (!written.Ok()) {
        platform::FileRemove(folder.Get(), CopyInProgressName);
        return NotMade;
    }
    // The first free number, never written over: a name taken since the
    // existence test sends the copy on to the next. The counter stops short
    // of wrapping around to a name already tried.
    for (uint32_t counter = FirstFreeCopyNumber(folder); counter != UINT32_MAX; ++counter) {
        if (!NumberedCopyName(DictionaryFileName, counter, name))
            break;
        const Status named = platform::FileRenameNew(folder.Get(), CopyInProgressName, name);
        if (named.Ok())
            return Success;
        if (named.code != StatusCode::NameTaken)
            break;
    }
    platform::FileRemove(folder.Get(), CopyInProgressName);
    return NotMade;
}

}  // namespace dorvan
