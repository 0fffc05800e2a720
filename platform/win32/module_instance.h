// The library's own module handle, which message texts are loaded from.
#pragma once

namespace dorvan::platform {

// Written once when the process attaches the library.
extern void *ModuleInstance;

// The load-time entry's work: stores the handle on process attach (reason
// 1), and answers success for every reason.
int HandleLibraryEntry(void *module, unsigned long reason);

}  // namespace dorvan::platform
