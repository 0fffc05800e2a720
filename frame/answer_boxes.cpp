// Dorvan.dll's installer actions: a failure shown in a message box.
#include "frame/answers.h"
#include "frame/messages.h"

namespace dorvan {

unsigned char AnswerInstallerAction(void *owner, const Status &status)
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
    platform::HeapBlock whole;
    char fitting[PathBufferSize];
    ShowFormattedMessage(owner, message.id, StopStyle, StatusFileText(status, whole, fitting));
    return 0;
}

}  // namespace dorvan
