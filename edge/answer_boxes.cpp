// Dorvan.dll's installer actions: a failure shown in a message box, its
// path in the ANSI code page its caller named it in.
#include <cstring>

#include "edge/answers.h"
#include "edge/messages.h"
#include "platform/path_text.h"

namespace dorvan {

unsigned char AnswerInstallerAction(void *owner, const Status &status, const CallInputs &inputs)
{
    if (status.Ok())
        return 1;
    const FailureMessage message = MessageFor(status.code);
    if (message.ownerOnly && !owner)
        return 0;
    if (!message.namesFile) {
        ShowMessage(owner, message.id, StopStyle);
        return 0;
    }
    platform::HeapBlock whole, ansiWhole;
    char fitting[PathBufferSize], ansiFitting[PathBufferSize];
    const char *file = StatusFileText(status, inputs, whole, fitting);
    // No ANSI text is longer than its UTF-8; without memory for it whole,
    // as much as the buffer holds.
    const size_t size = std::strlen(file) + 1;
    ansiWhole = platform::AllocateBlock(size);
    char *ansi = ansiWhole ? reinterpret_cast<char *>(ansiWhole.get()) : ansiFitting;
    platform::PathToAnsi(file, ansi, ansiWhole ? size : sizeof ansiFitting);
    ShowFormattedMessage(owner, message.id, StopStyle, ansi);
    return 0;
}

}  // namespace dorvan
