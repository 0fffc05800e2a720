#include "edge/answers.h"

#include "edge/messages.h"

namespace dorvan {

namespace {

struct Presentation {
    StatusCode code;
    FailureMessage message;
};

// Every status an installer action can end with, and its message.
constexpr Presentation Presentations[] = {
    {StatusCode::HostNotFound, {MessageHostMissing, false, false}},
    {StatusCode::RegistryKeyNotMade, {MessageRegistryFailed, false, false}},
    {StatusCode::RegistryMissing, {MessageRegistryFailed, false, false}},
    {StatusCode::RegistryFailed, {MessageRegistryFailed, false, false}},
    {StatusCode::FileMissing, {MessageDictionaryMissing, true, false}},
    {StatusCode::CannotOpen, {MessageOpenFailed, true, true}},
    {StatusCode::NotPermitted, {MessageOpenFailed, true, true}},
    {StatusCode::NameTaken, {MessageOpenFailed, true, true}},
    {StatusCode::FileInUse, {MessageOpenFailed, true, true}},
    {StatusCode::JournalStuck, {MessageOpenFailed, true, true}},
    {StatusCode::NoMemory, {MessageOutOfMemory, false, true}},
    {StatusCode::CannotSize, {MessageReadFailed, true, true}},
    {StatusCode::ReadFailed, {MessageReadFailed, true, true}},
    {StatusCode::WriteFailed, {MessageWriteFailed, true, false}},
    {StatusCode::CopyMissing, {MessageWriteFailed, true, false}},
    {StatusCode::CopyNotWhole, {MessageReadFailed, true, true}},
    {StatusCode::WrittenByOther, {MessageWriteFailed, true, false}},
    {StatusCode::NotRecords, {MessageReadFailed, true, true}},
};

}  // namespace

FailureMessage MessageFor(StatusCode code)
{
    for (const Presentation &presentation : Presentations)
        if (presentation.code == code)
            return presentation.message;
    return Presentations[0].message;
}

const char *StatusFileText(const Status &status, const CallInputs &inputs, platform::HeapBlock &whole,
                           char (&fitting)[PathBufferSize])
{
    const char *directory = nullptr, *fileName = nullptr;
    switch (status.file) {
    case FileRole::Dictionary:
    case FileRole::Journal:
    case FileRole::CopyInProgress:
    case FileRole::NumberedCopy:
        // A file left alone as another account's is named itself, so that
        // an administrator knows what to look at and take away.
        directory = inputs.mapDataDir;
        fileName = status.code != StatusCode::WrittenByOther ? DictionaryFileName
                   : status.file == FileRole::Journal        ? JournalName
                   : status.file == FileRole::CopyInProgress ? CopyInProgressName
                                                             : DictionaryFileName;
        break;
    case FileRole::Entry:
        directory = inputs.sourceDir;
        fileName = EntryFileName;
        break;
    default:
        break;
    }
    if (!directory)
        return "";
    const size_t size = ComposePathInto(fitting, sizeof fitting, directory, fileName) + 1;
    if (size <= sizeof fitting || !(whole = platform::AllocateBlock(size)))
        return fitting;
    ComposePathInto(reinterpret_cast<char *>(whole.get()), size, directory, fileName);
    return reinterpret_cast<const char *>(whole.get());
}

int AnswerServiceFunction(const Status &status, int success, int failure)
{
    return status.Ok() ? success : failure;
}

}  // namespace dorvan
