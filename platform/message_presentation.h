// The seam through which the library loads its message texts and shows
// message boxes.
#pragma once

#include <cstdarg>

namespace dorvan::platform {

// Loads string resource `id` into `buffer` (at most size - 1 bytes of text
// and a terminator). Returns the text's length, 0 when it is missing.
int LoadMessageText(unsigned id, char *buffer, int size);

// Expands `pattern`, whose %1 is the first of `inserts`, into a block that
// the platform allocates; null on failure. Inserts are placed verbatim.
char *FormatMessageText(const char *pattern, va_list *inserts);
void ReleaseFormattedText(char *text);

// Shows a message box and returns the button pressed.
int PresentMessageBox(void *owner, const char *text, const char *caption, unsigned style);

}  // namespace dorvan::platform
