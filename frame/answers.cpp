#include "frame/answers.h"

#include "dictionary/dictionary_paths.h"
#include "frame/messages.h"
#include "platform/memory.h"

namespace dorvan {

namespace {

struct Presentation {
    StatusCode code;
    unsigned message;
    bool namesFile;  // %1 is the file the status concerns
    bool ownerOnly;  // shown only with an owner window
};

// Every status an installer action can end with, and what its caller sees.
constexpr Presentation Presentations[] = {
    {StatusCode::HostNotFound, MessageHostMissing, false, false},
    {StatusCode::RegistryKeyNotMade, MessageRegistryFailed, false, false},
    {StatusCode::RegistryMissing, MessageRegistryFailed, false, false},
    {StatusCode::RegistryFailed, MessageRegistryFailed, false, false},
    {StatusCode::FileMissing, MessageDictionaryMissing, true, false},
    {StatusCode::CannotOpen, MessageOpenFailed, true, true},
    {StatusCode::NameTaken, MessageOpenFailed, true, true},
    {StatusCode::FileInUse, MessageOpenFailed, true, true},
    {StatusCode::JournalStuck, MessageOpenFailed, true, true},
    {StatusCode::NoMemory, MessageOutOfMemory, false, true},
    {StatusCode::CannotSize, MessageReadFailed, true, true},
    {StatusCode::ReadFailed, MessageReadFailed, true, true},
    {StatusCode::WriteFailed, MessageWriteFailed, true, false},
};

const Presentation &PresentationOf(StatusCode code)
{
    for (const Presentation &presentation : Presentations)
        if (presentation.code == code)
            return presentation;
    return Presentations[0];
}

// Shows message `id` naming the file of `status`: a path too long to
// compose is shown whole, composed in a heap block, or as much of it as a
// path buffer holds when there is no memory for it.
void ShowFileMessage(void *owner, unsigned id, const Status &status)
{
    const char *file = status.file ? status.file : "";
    if (!status.fileName) {
        ShowFormattedMessage(owner, id, StopStyle, file);
        return;
    }
    const size_t size = ComposePathInto(nullptr, 0, file, status.fileName) + 1;
    platform::HeapBlock whole = platform::AllocateBlock(size);
    char fitting[PathBufferSize];
    char *text = whole ? reinterpret_cast<char *>(whole.get()) : fitting;
    ComposePathInto(text, whole ? size : sizeof fitting, file, status.fileName);
    ShowFormattedMessage(owner, id, StopStyle, text);
}

}  // namespace

unsigned char AnswerInstallerAction(void *owner, const Status &status)
{
    if (status.Ok())
        return 1;
    const Presentation &presentation = PresentationOf(status.code);
    if (presentation.ownerOnly && !owner)
        return 0;
    if (presentation.namesFile)
        ShowFileMessage(owner, presentation.message, status);
    else
        ShowMessage(owner, presentation.message, StopStyle);
    return 0;
}

int AnswerServiceFunction(const Status &status, int success, int failure)
{
    return status.Ok() ? success : failure;
}

}  // namespace dorvan
