// Paths as the library holds them, and as its callers pass them. Inside
// the library a path is UTF-8 on every build; the Windows platform layer
// turns it into UTF-16 at each system call. A caller names a path in the
// ANSI code page (Dorvan.dll, and DorvanSetup.dll's original functions) or
// in wide characters (DorvanSetup.dll's ...W functions); the exports turn
// it into UTF-8 here, at their edge. The portable build takes its paths as
// bytes: its ANSI strings pass unchanged.
#pragma once

#include <cstddef>

#include "platform/memory.h"

namespace dorvan::platform {

// The longest path the library opens, terminator not counted, as
// PathLength measures it: Windows' MAX_PATH less its terminator.
constexpr size_t PathLengthLimit = 259;

// A path buffer holds any path within that limit, whatever its letters:
// no UTF-16 unit takes more than three bytes of UTF-8.
constexpr size_t PathBufferSize = 3 * PathLengthLimit + 1;

// The length of a UTF-8 path as the system's own limit counts it: UTF-16
// units on Windows, bytes elsewhere.
size_t PathLength(const char *path);

// A caller's path as UTF-8, converted into `held`. Null when no block can
// be had for it; a null path stays null.
const char *PathFromAnsi(const char *ansi, HeapBlock &held);
const char *PathFromWide(const wchar_t *wide, HeapBlock &held);

// A UTF-8 path in the ANSI code page into `out`, `size` bytes with the
// terminator, cut after the last whole character that fits; false when it
// had to be cut. A letter the code page lacks becomes what the system's
// ANSI functions make of it. No ANSI text is longer than its UTF-8.
bool PathToAnsi(const char *path, char *out, size_t size);

// A UTF-8 text, such as a path the library holds, as wide characters into
// `out`: at most size - 1 characters and a terminator, cut where it does
// not fit. Returns the characters written.
int WidenUtf8(const char *text, wchar_t *out, int size);

}  // namespace dorvan::platform
