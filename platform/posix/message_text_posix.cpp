// The portable build's stand-in for the string table: the texts compiled
// in as UTF-8, handed out as they are or decoded into wide characters.
#include <cstring>

#include "platform/message_presentation.h"
#include "platform/message_text.h"
#include "platform/path_text.h"

namespace dorvan::platform {

namespace {

struct MessageText {
    unsigned id;
    const char *text;
};

#define QUOTE "\""
#define MESSAGE_TEXT(id, text) {id, text},
constexpr MessageText MessageTable[] = {
#include "platform/message_texts.inc"
};
#undef MESSAGE_TEXT
#undef QUOTE

const char *MessageTextOf(unsigned id)
{
    for (const MessageText &entry : MessageTable)
        if (entry.id == id)
            return entry.text;
    return "";
}

}  // namespace

int LoadMessageText(unsigned id, char *buffer, int size)
{
    if (size <= 0)
        return 0;
    const char *text = MessageTextOf(id);
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(size - 1))
        length = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

int LoadMessageTextWide(unsigned id, wchar_t *buffer, int size)
{
    return WidenUtf8(MessageTextOf(id), buffer, size);
}

}  // namespace dorvan::platform
