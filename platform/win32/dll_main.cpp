// The library's load-time entry: the run-time start-up code calls it after
// its own initialisation.
#include <windows.h>

#include "platform/win32/module_instance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    return dorvan::platform::HandleLibraryEntry(module, reason);
}
