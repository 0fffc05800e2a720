#include <cstdint>

#include "message_capture.h"

#include "dorvan.h"

namespace dorvan::test {

namespace {

int Receive(void *context, DorvanWindow owner, const char *text, const char *caption, unsigned style)
{
    static_cast<MessageCapture *>(context)->Record({text, text, caption, owner, style});
    return 1;
}

}  // namespace

MessageCapture::MessageCapture() { DorvanSetMessageSink(Receive, this); }
MessageCapture::~MessageCapture() { DorvanSetMessageSink(nullptr, nullptr); }

void *TestOwnerWindow()
{
    static int window;
    return &window;
}

bool StyleIsObservable() { return true; }

std::string ToAnsi(const std::string &utf8) { return utf8; }

std::string WideToUtf8(const wchar_t *text)
{
    std::string out;
    for (; *text; ++text) {
        const auto point = static_cast<uint32_t>(*text);
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | point >> 6);
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += static_cast<char>(0xE0 | point >> 12);
            out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | point >> 18);
            out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return out;
}

}  // namespace dorvan::test
