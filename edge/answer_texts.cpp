// DorvanSetup.dll's answers: a failure handed back as its message's id and
// text, shown to nobody, so that a setup running unattended never waits.
#include "edge/answers.h"
#include "platform/message_text.h"
#include "platform/path_text.h"

namespace dorvan {

namespace {

// The same bound as the texts shown in boxes.
constexpr int PatternSize = 256;

}  // namespace

int AnswerWithText(const Status &status, const CallInputs &inputs, wchar_t *message, int messageChars)
{
    const bool wanted = message && messageChars > 0;
    if (wanted)
        message[0] = L'\0';
    if (status.Ok())
        return 0;
    const FailureMessage failure = MessageFor(status.code);
    if (!wanted)
        return static_cast<int>(failure.id);

    wchar_t pattern[PatternSize];
    platform::LoadMessageTextWide(failure.id, pattern, PatternSize);
    platform::HeapBlock whole;
    char fitting[PathBufferSize];
    int used = 0;
    for (const wchar_t *p = pattern; *p && used < messageChars - 1; ++p) {
        if (failure.namesFile && p[0] == L'%' && p[1] == L'1') {
            used += platform::WidenUtf8(StatusFileText(status, inputs, whole, fitting), message + used, messageChars - used);
            ++p;
        } else {
            message[used++] = *p;
        }
    }
    message[used] = L'\0';
    return static_cast<int>(failure.id);
}

int AnswerBadArgument(wchar_t *message, int messageChars)
{
    AnswerWithText(Success, {}, message, messageChars);
    return -1;
}

}  // namespace dorvan
