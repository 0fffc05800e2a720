#include "edge/messages.h"

#include <cstdarg>

#include "platform/message_presentation.h"

namespace dorvan {

const char MessageCaption[] = "Instalacja RodOvodovidor";

namespace {

constexpr int MessageBufferSize = 256;

// The buffer's first byte is cleared first, so a missing resource leaves
// an empty text rather than whatever the stack held.
void LoadText(unsigned id, char (&buffer)[MessageBufferSize])
{
    buffer[0] = '\0';
    platform::LoadMessageText(id, buffer, MessageBufferSize);
}

}  // namespace

int ShowMessage(void *owner, unsigned id, unsigned style)
{
    char text[MessageBufferSize];
    LoadText(id, text);
    return platform::PresentMessageBox(owner, text, MessageCaption, style);
}

int ShowFormattedMessage(void *owner, unsigned id, unsigned style, ...)
{
    char pattern[MessageBufferSize];
    LoadText(id, pattern);

    va_list inserts;
    va_start(inserts, style);
    char *expanded = platform::FormatMessageText(pattern, &inserts);
    va_end(inserts);

    // A failed expansion shows an empty box rather than nothing at all.
    int pressed = platform::PresentMessageBox(owner, expanded ? expanded : "", MessageCaption, style);
    platform::ReleaseFormattedText(expanded);
    return pressed;
}

}  // namespace dorvan
