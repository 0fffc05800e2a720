#pragma once

namespace dorvan {

// The library's own module handle, written once when the process attaches
// the library and read when message texts are loaded from its resources.
extern void *ModuleInstance;

// The load-time entry's work: stores the handle on process attach (reason
// 1), and answers success for every reason.
int HandleLibraryEntry(void *module, unsigned long reason);

}  // namespace dorvan
