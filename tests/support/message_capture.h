// Reads back the message boxes the library shows during a test: through
// the portable build's message sink, or on Windows through a CBT hook on
// the test thread that reads each box and presses its OK button.
#pragma once

#include <string>
#include <vector>

namespace dorvan::test {

struct ShownMessage {
    std::string text;      // UTF-8
    std::string ansiText;  // as the ANSI functions see it (Windows: the code page's bytes)
    std::string caption;   // UTF-8
    void *owner = nullptr;
    unsigned style = 0;    // known on the portable build only
};

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    const std::vector<ShownMessage> &Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

    // Receives one message; called by the platform's capture mechanism.
    void Record(ShownMessage message) { messages_.push_back(std::move(message)); }

private:
    std::vector<ShownMessage> messages_;
};

// A window that can own message boxes during a test.
void *TestOwnerWindow();

// Whether message boxes report their style to tests on this platform.
bool StyleIsObservable();

// A UTF-8 text as the ANSI functions hand it over: on Windows in the
// system's ANSI code page, on the portable build unchanged.
std::string ToAnsi(const std::string &utf8);

// A wide text as UTF-8: UTF-16 on Windows, UTF-32 on the portable build.
std::string WideToUtf8(const wchar_t *text);

}  // namespace dorvan::test
