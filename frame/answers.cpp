#include "frame/answers.h"

#include "frame/messages.h"

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
};

}  // namespace

FailureMessage MessageFor(StatusCode code)
{
    for (const Presentation &presentation : Presentations)
        if (presentation.code == code)
            return presentation.message;
    return Presentations[0].message;
}

const char *StatusFileText(const Status &status, platform::HeapBlock &whole, char (&fitting)[PathBufferSize])
{
    const char *file = status.file ? status.file : "";
    if (!status.fileName)
        return file;
    const size_t size = ComposePathInto(nullptr, 0, file, status.fileName) + 1;
    whole = platform::AllocateBlock(size);
    char *text = whole ? reinterpret_cast<char *>(whole.get()) : fitting;
    ComposePathInto(text, whole ? size : sizeof fitting, file, status.fileName);
    return text;
}

int AnswerServiceFunction(const Status &status, int success, int failure)
{
    return status.Ok() ? success : failure;
}

}  // namespace dorvan
