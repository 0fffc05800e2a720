// Message texts from the library's string table as UTF-16.
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

}  // namespace dorvan::platform
