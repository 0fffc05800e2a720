// What the portable build's own exports set (portable_exports.cpp): the
// stand-ins' settings that a loading program chooses on Linux, where there
// is no system registry, message box or installer session.
#pragma once

#include "dorvan.h"

namespace dorvan::platform {

// The folder holding the registry stand-in; false, nothing changed, for
// an empty or too long one.
bool SetRegistryRoot(const char *folder);

// Where shown messages go: to `sink`, or to standard error without one.
void SetMessageSink(DorvanMessageSink sink, void *context);

}  // namespace dorvan::platform
