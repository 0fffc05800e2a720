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

}  // namespace dorvan::test
