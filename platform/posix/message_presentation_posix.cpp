// The portable build's stand-ins for the message formatter and the message
// box: %1 expanded here, and a shown message written to standard error as
// one line unless the loading program has installed a sink.
#include "platform/message_presentation.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dorvan.h"
#include "platform/posix/portable_settings.h"

namespace dorvan::platform {

namespace {

DorvanMessageSink CurrentSink = nullptr;
void *CurrentSinkContext = nullptr;

}  // namespace

void SetMessageSink(DorvanMessageSink sink, void *context)
{
    CurrentSink = sink;
    CurrentSinkContext = context;
}

namespace {

// The insert number of a "%N" or "%NN" at `p`, 0 when there is none there;
// `*length` receives the characters it takes.
int InsertAt(const char *p, int *length)
{
    if (p[0] != '%' || p[1] < '1' || p[1] > '9')
        return 0;
    int number = p[1] - '0';
    *length = 2;
    if (p[2] >= '0' && p[2] <= '9') {
        number = number * 10 + (p[2] - '0');
        *length = 3;
    }
    return number;
}

}  // namespace

// %1 to %99 take the inserts in order; %% gives '%'; any other '%' stays.
// Inserts are copied verbatim, so a '%' inside a path means nothing.
char *FormatMessageText(const char *pattern, va_list *inserts)
{
    // The inserts, taken in order up to the highest number the pattern uses.
    const char *taken[100] = {};
    int highest = 0, length = 0;
    for (const char *p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            ++p;
        } else if (int number = InsertAt(p, &length)) {
            highest = number > highest ? number : highest;
            p += length - 1;
        }
    }
    for (int number = 1; number <= highest; ++number)
        taken[number] = va_arg(*inserts, const char *);

    // Two passes: the first measures the text, the second writes it.
    char *block = nullptr;
    for (int pass = 0; pass < 2; ++pass) {
        size_t size = 0;
        auto put = [&](const char *bytes, size_t count) {
            if (block)
                std::memcpy(block + size, bytes, count);
            size += count;
        };
        for (const char *p = pattern; *p; ++p) {
            if (p[0] == '%' && p[1] == '%') {
                put("%", 1);
                ++p;
            } else if (int number = InsertAt(p, &length)) {
                const char *insert = taken[number] ? taken[number] : "";
                put(insert, std::strlen(insert));
                p += length - 1;
            } else {
                put(p, 1);
            }
        }
        if (block) {
            block[size] = '\0';
        } else if (!(block = static_cast<char *>(std::malloc(size + 1)))) {
            return nullptr;
        }
    }
    return block;
}

void ReleaseFormattedText(char *text)
{
    std::free(text);
}

// One line on standard error, "caption: text", with line breaks made
// spaces so that each message stays one line.
int PresentMessageBox(void *owner, const char *text, const char *caption, unsigned style)
{
    if (CurrentSink)
        return CurrentSink(CurrentSinkContext, owner, text, caption, style);
    // Written in pieces of a local buffer: standard error is unbuffered.
    char line[512];
    size_t used = 0;
    const char *const parts[] = {caption, ": ", text, "\n"};
    for (const char *part : parts) {
        for (const char *c = part; *c; ++c) {
            line[used++] = *c == '\r' || (*c == '\n' && part != parts[3]) ? ' ' : *c;
            if (used == sizeof line) {
                std::fwrite(line, 1, used, stderr);
                used = 0;
            }
        }
    }
    std::fwrite(line, 1, used, stderr);
    return 1;  // the OK button
}

}  // namespace dorvan::platform
