#include "frame/module_instance.h"

namespace dorvan {

void *ModuleInstance = nullptr;

int HandleLibraryEntry(void *module, unsigned long reason)
{
    constexpr unsigned long ProcessAttach = 1;
    if (reason == ProcessAttach)
        ModuleInstance = module;
    return 1;
}

}  // namespace dorvan
