// The portable build's stand-in for a Windows Installer session: one set
// of properties kept in memory, which a test program sets and reads
// through DorvanSetSessionProperty and DorvanSessionProperty; the log and
// the error messages go to standard error.
#include <cstdio>
#include <cstring>

#include "dorvan_setup.h"
#include "platform/installer_session.h"

namespace dorvan::platform {

namespace {

// Values may be longer than a property read takes, as in a real session,
// where such a read answers that it does not fit.
struct Property {
    char name[64];
    char value[2 * PropertySize];
};

Property Properties[32];

Property *Find(const char *name, bool create)
{
    for (Property &property : Properties)
        if (std::strcmp(property.name, name) == 0)
            return &property;
    if (!create)
        return nullptr;
    for (Property &property : Properties)
        if (property.name[0] == '\0')
            return &property;
    return nullptr;
}

}  // namespace

bool SessionProperty(InstallerSession, const char *name, char (&value)[PropertySize])
{
    value[0] = '\0';
    const Property *property = Find(name, false);
    if (!property)
        return true;
    if (std::strlen(property->value) >= PropertySize)
        return false;
    std::strcpy(value, property->value);
    return true;
}

Status SetSessionProperty(InstallerSession, const char *name, const char *value)
{
    Property *property = Find(name, true);
    if (!property || std::strlen(name) >= sizeof property->name || std::strlen(value) >= sizeof property->value)
        return StatusOf(StatusCode::WriteFailed);
    std::strcpy(property->name, name);
    std::strcpy(property->value, value);
    return Success;
}

// The stand-in's machine has no other product installed.
bool OtherProductHolds(InstallerSession, const char *, char (&product)[PropertySize])
{
    product[0] = '\0';
    return false;
}

void LogToSession(InstallerSession, const char *line)
{
    std::fprintf(stderr, "installer log: %s\n", line);
}

void ReportToSession(InstallerSession, const wchar_t *text)
{
    std::fprintf(stderr, "installer error: %ls\n", text);
}

}  // namespace dorvan::platform
