#include "dictionary/numbered_copies.h"

#include <cstring>

#include "platform/file_access.h"

namespace dorvan {

namespace {

constexpr Status NotMade = StatusOf(StatusCode::WriteFailed);

}  // namespace

bool NumberedCopyName(const char *dictionaryPath, uint32_t counter, char (&name)[PathBufferSize])
{
    const char *dot = std::strrchr(dictionaryPath, '.');
    if (!dot)
        return false;
    const size_t stemLength = static_cast<size_t>(dot - dictionaryPath) + 1;
    char extension[16];
    platform::FormatBackupNumber(extension, counter);
    const size_t extensionLength = std::strlen(extension);
    if (stemLength + extensionLength >= PathBufferSize)
        return false;
    std::memcpy(name, dictionaryPath, stemLength);
    std::memcpy(name + stemLength, extension, extensionLength + 1);
    return PathFits(name, stemLength + extensionLength);
}

uint32_t FirstFreeCopyNumber(const char *dictionaryPath)
{
    char name[PathBufferSize];
    uint32_t counter = 0;
    while (counter != UINT32_MAX && NumberedCopyName(dictionaryPath, counter, name) && platform::FileExists(name))
        ++counter;
    return counter;
}

namespace {

bool CopyInProgressPath(char (&out)[PathBufferSize], const char *dictionaryPath)
{
    const char *dot = std::strrchr(dictionaryPath, '.');
    if (!dot)
        return false;
    const size_t stemLength = static_cast<size_t>(dot - dictionaryPath) + 1;
    if (stemLength + sizeof CopyInProgressExtension > PathBufferSize)
        return false;
    std::memcpy(out, dictionaryPath, stemLength);
    std::memcpy(out + stemLength, CopyInProgressExtension, sizeof CopyInProgressExtension);
    return PathFits(out, stemLength + sizeof CopyInProgressExtension - 1);
}

// Writes the copy in progress whole and durably, and closes it.
Status WriteCopyInProgress(const char *path, const uint8_t *block, int32_t length)
{
    platform::FileHandle copy;
    Status status = copy.Open(path, platform::FileMode::CreateNew);
    if (status.code == StatusCode::NameTaken) {
        // Left by a crash, or by an edit running now, whose copy then
        // fails in its turn: neither is a numbered copy yet.
        platform::FileRemove(path);
        status = copy.Open(path, platform::FileMode::CreateNew);
    }
    if (!status.Ok())
        return status;
    if ((status = platform::FileWrite(copy.Get(), 0, block, length)).Ok())
        status = platform::FileSync(copy.Get());
    const Status closed = copy.Close();
    return status.Ok() ? closed : status;
}

}  // namespace

void RemoveCopyInProgress(const char *dictionaryPath)
{
    char path[PathBufferSize];
    if (CopyInProgressPath(path, dictionaryPath) && platform::FileExists(path))
        platform::FileRemove(path);
}

Status MakeNumberedBackup(const char *dictionaryPath, const uint8_t *block, int32_t length)
{
    char inProgress[PathBufferSize], name[PathBufferSize];
    if (!CopyInProgressPath(inProgress, dictionaryPath) || !NumberedCopyName(dictionaryPath, 0, name))
        return NotMade;
    // A copy cut short (a full disk, a file-size limit) is no copy of the
    // dictionary; it never takes a number. The copy is made durable first:
    // after a crash, it may be what a rollback or a user puts back.
    if (!WriteCopyInProgress(inProgress, block, length).Ok()) {
        platform::FileRemove(inProgress);
        return NotMade;
    }
    // The first free number, never written over: a name taken since the
    // existence test sends the copy on to the next. The counter stops short
    // of wrapping around to a name already tried.
    for (uint32_t counter = FirstFreeCopyNumber(dictionaryPath); counter != UINT32_MAX; ++counter) {
        if (!NumberedCopyName(dictionaryPath, counter, name))
            break;
        const Status named = platform::FileRenameNew(inProgress, name);
        if (named.Ok())
            return Success;
        if (named.code != StatusCode::NameTaken)
            break;
    }
    platform::FileRemove(inProgress);
    return NotMade;
}

}  // namespace dorvan
