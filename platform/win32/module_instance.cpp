#include "platform/win32/module_instance.h"

namespace dorvan::platform {

void *ModuleInstance = nullptr;

int HandleLibraryEntry(void *module, unsigned long reason)
{
    constexpr unsigned long ProcessAttach = 1;
    if (reason == ProcessAttach)
        ModuleInstance = module;
    return 1;
}

}  // namespace dorvan::platform
