// The message texts as wide characters, for callers that take a failure's
// text rather than a message box: UTF-16 on Windows, the platform's wide
// characters elsewhere. Paths are widened into them by WidenUtf8
// (platform/path_text.h).
#pragma once

namespace dorvan::platform {

// Loads string resource `id` into `buffer` (at most size - 1 characters and
// a terminator). Returns the text's length, 0 when it is missing.
int LoadMessageTextWide(unsigned id, wchar_t *buffer, int size);

}  // namespace dorvan::platform
