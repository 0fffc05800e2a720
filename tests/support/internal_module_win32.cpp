// Test programs that link the library's routines in carry its string table
// themselves: the messages load from the program's own module.
#include <windows.h>

#include "platform/win32/module_instance.h"

namespace {

const bool ModuleSet = (dorvan::platform::ModuleInstance = GetModuleHandleA(nullptr)) != nullptr;

}  // namespace
