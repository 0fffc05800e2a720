// The UTF-16 form the system calls take of the library's UTF-8 paths.
#pragma once

#include "platform/path_text.h"

namespace dorvan::platform {

using WidePath = wchar_t[PathLengthLimit + 1];

// False, with `out` empty, for a path longer than the system opens or one
// that is no UTF-8.
bool WidenPath(const char *path, WidePath &out);

}  // namespace dorvan::platform
