// The portable build's stand-in for the string table: the texts compiled
// in as UTF-8, handed out as they are or decoded into wide characters.
#include <cstring>

#include "platform/message_presentation.h"
#include "platform/message_text.h"

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

// The code point of the UTF-8 sequence at `p`, which takes `*length`
// bytes; a byte that starts no valid sequence stands for U+FFFD alone.
wchar_t DecodeAt(const unsigned char *p, int *length)
{
    const unsigned lead = p[0];
    const int count = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                    : lead >= 0xF0 && lead < 0xF5   ? 4
                                                                    : 0;
    *length = 1;
    if (count == 0)
        return 0xFFFD;
    unsigned long point = count == 1 ? lead : lead & (0x7F >> count);
    for (int i = 1; i < count; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        point = point << 6 | (p[i] & 0x3F);
    }
    static const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[count] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0xFFFD;
    *length = count;
    return static_cast<wchar_t>(point);
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
    return WidenText(MessageTextOf(id), buffer, size);
}

int WidenText(const char *text, wchar_t *out, int size)
{
    if (size <= 0)
        return 0;
    int written = 0;
    for (const auto *p = reinterpret_cast<const unsigned char *>(text); *p && written < size - 1;) {
        int length = 1;
        out[written++] = DecodeAt(p, &length);
        p += length;
    }
    out[written] = L'\0';
    return written;
}

}  // namespace dorvan::platform
