// Message texts from the library's string table, expanded by the system's
// message formatter and shown in system message boxes.
#include "platform/message_presentation.h"

#include <windows.h>

#include "platform/win32/module_instance.h"

namespace dorvan::platform {

int LoadMessageText(unsigned id, char *buffer, int size)
{
    return LoadStringA(static_cast<HINSTANCE>(ModuleInstance), id, buffer, size);
}

char *FormatMessageText(const char *pattern, va_list *inserts)
{
    char *expanded = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern, 0, 0,
                   reinterpret_cast<LPSTR>(&expanded), 40, inserts);
    return expanded;
}

void ReleaseFormattedText(char *text)
{
    LocalFree(text);
}

int PresentMessageBox(void *owner, const char *text, const char *caption, unsigned style)
{
    return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

}  // namespace dorvan::platform
