// Message texts from the library's string table as UTF-16, and the ANSI
// paths inserted into them widened by the system's code page.
#include <string.h>
#include <windows.h>

#include "platform/message_text.h"
#include "platform/win32/module_instance.h"

namespace dorvan::platform {

int LoadMessageTextWide(unsigned id, wchar_t *buffer, int size)
{
    if (size <= 0)
        return 0;
    buffer[0] = L'\0';
    return LoadStringW(static_cast<HINSTANCE>(ModuleInstance), id, buffer, size);
}

int WidenText(const char *text, wchar_t *out, int size)
{
    if (size <= 0)
        return 0;
    // No code page makes more UTF-16 units than bytes, so the first
    // size - 1 bytes always fit: converted straight into `out`, with no
    // memory that may be gone. A cut drops a lead byte left without its
    // partner.
    int bytes = static_cast<int>(strnlen(text, static_cast<size_t>(size - 1)));
    if (text[bytes] != '\0' && bytes > 0 && IsDBCSLeadByte(static_cast<BYTE>(text[bytes - 1])))
        --bytes;
    const int written = bytes ? MultiByteToWideChar(CP_ACP, 0, text, bytes, out, size - 1) : 0;
    out[written > 0 ? written : 0] = L'\0';
    return written > 0 ? written : 0;
}

}  // namespace dorvan::platform
