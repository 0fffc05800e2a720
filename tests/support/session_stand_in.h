// The portable build's stand-in for a Windows Installer session, as msiexec
// hands a deferred or rollback action its CustomActionData.
#pragma once

#include <string>

#include "dorvan_setup.h"

namespace dorvan::test {

inline std::string SessionProperty(const char *name)
{
    char value[1024];
    return DorvanSessionProperty(name, value, sizeof value) >= 0 ? value : "";
}

// Runs a deferred or rollback action with the CustomActionData that the
// immediate action left under its name.
inline unsigned RunWithActionData(unsigned (*action)(unsigned long), const char *name)
{
    DorvanSetSessionProperty("CustomActionData", SessionProperty(name).c_str());
    return action(0);
}

}  // namespace dorvan::test
