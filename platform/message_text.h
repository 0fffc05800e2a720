// The message texts as wide characters, for callers that take a failure's
// text rather than a message box: UTF-16 on Windows, the platform's wide
// characters elsewhere.
#pragma once

namespace dorvan::platform {

// Loads string resource `id` into `buffer` (at most size - 1 characters and
// a terminator). Returns the text's length, 0 when it is missing.
int LoadMessageTextWide(unsigned id, wchar_t *buffer, int size);

// Widens an 8-bit string as the library's callers pass it (the ANSI code
// page on Windows, UTF-8 elsewhere) into `out`: at most size - 1 characters
// and a terminator, cut where it does not fit. Returns the characters
// written.
int WidenText(const char *text, wchar_t *out, int size);

}  // namespace dorvan::platform
