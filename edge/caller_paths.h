// Paths on their way between an export's caller and the library: taken in
// the caller's encoding (the ANSI code page, or wide characters) and held
// as UTF-8 for the length of the call; handed back in the caller's.
#pragma once

#include "dictionary/dictionary_paths.h"
#include "platform/memory.h"
#include "platform/path_text.h"
#include "platform/status.h"

namespace dorvan {

// Declared where the call begins and kept to its end, so that the answer's
// message can compose its path from it.
class CallerPath {
public:
    explicit CallerPath(const char *ansi) : text_(platform::PathFromAnsi(ansi, held_)), given_(ansi) {}
    explicit CallerPath(const wchar_t *wide) : text_(platform::PathFromWide(wide, held_)), given_(wide) {}
    CallerPath(const CallerPath &) = delete;
    CallerPath &operator=(const CallerPath &) = delete;

    // False when there was no memory to hold it.
    bool Held() const { return text_ || !given_; }
    const char *Get() const { return text_; }

private:
    platform::HeapBlock held_;
    const char *text_;
    bool given_;
};

// What a call answers when it could not hold its caller's paths.
constexpr Status PathsNotHeld = StatusOf(StatusCode::NoMemory);

// The map data directory found, `found`, into the caller's buffer of
// `CallerBufferChars` characters: in the ANSI code page as the system's ANSI
// functions give it, or as UTF-16. RegistryFailed, with the buffer left as
// it was, where the ANSI text would not fit.
constexpr size_t CallerBufferChars = 260;
Status HandOutDirectory(const char *found, char *out);
Status HandOutDirectory(const char *found, wchar_t *out);

}  // namespace dorvan
