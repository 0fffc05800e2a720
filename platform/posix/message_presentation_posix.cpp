// The portable build's stand-ins for the string table, the message
// formatter and the message box: texts compiled in as UTF-8, %1 expanded
// here, and a shown message written to standard error as one line unless
// the loading program has installed a sink.
#include "platform/message_presentation.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dorvan.h"

namespace {

struct MessageText {
    unsigned id;
    const char *text;
};

#define QUOTE "\""
#define MESSAGE_TEXT(id, text) {id, text},
constexpr MessageText MessageTable[] = {
#include "frame/message_texts.inc"
};
#undef MESSAGE_TEXT
#undef QUOTE

DorvanMessageSink CurrentSink = nullptr;
void *CurrentSinkContext = nullptr;

}  // namespace

extern "C" DORVAN_API void DorvanSetMessageSink(DorvanMessageSink sink, void *context)
{
    CurrentSink = sink;
    CurrentSinkContext = context;
}

namespace dorvan::platform {

int LoadMessageText(unsigned id, char *buffer, int size)
{
    if (size <= 0)
        return 0;
    for (const MessageText &entry : MessageTable) {
        if (entry.id != id)
            continue;
        size_t length = std::strlen(entry.text);
        if (length > static_cast<size_t>(size - 1))
            length = static_cast<size_t>(size - 1);
        std::memcpy(buffer, entry.text, length);
        buffer[length] = '\0';
        return static_cast<int>(length);
    }
    return 0;
}

// %1 to %99 take the inserts in order; %% gives '%'; any other '%' stays.
// Inserts are copied verbatim, so a '%' inside a path means nothing.
char *FormatMessageText(const char *pattern, va_list *inserts)
{
    std::string expanded;
    const char *taken[100] = {};
    int takenCount = 0;
    for (const char *p = pattern; *p; ++p) {
        if (p[0] != '%' || p[1] == '\0') {
            expanded += *p;
            continue;
        }
        if (p[1] == '%') {
            expanded += '%';
            ++p;
            continue;
        }
        if (p[1] < '1' || p[1] > '9') {
            expanded += *p;
            continue;
        }
        int number = p[1] - '0';
        ++p;
        if (p[1] >= '0' && p[1] <= '9') {
            number = number * 10 + (p[1] - '0');
            ++p;
        }
        while (takenCount < number)
            taken[++takenCount] = va_arg(*inserts, const char *);
        expanded += taken[number] ? taken[number] : "";
    }
    char *block = static_cast<char *>(std::malloc(expanded.size() + 1));
    if (block)
        std::memcpy(block, expanded.c_str(), expanded.size() + 1);
    return block;
}

void ReleaseFormattedText(char *text)
{
    std::free(text);
}

int PresentMessageBox(void *owner, const char *text, const char *caption, unsigned style)
{
    if (CurrentSink)
        return CurrentSink(CurrentSinkContext, owner, text, caption, style);
    std::string line = std::string(caption) + ": " + text;
    for (char &c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;  // the OK button
}

}  // namespace dorvan::platform
