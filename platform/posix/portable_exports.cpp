// The portable build's own exports, declared in dorvan.h and
// dorvan_setup.h: a loading program's settings for the stand-ins of the
// registry, the message box and the installer session.
#include <cstring>

#include "dorvan_setup.h"
#include "platform/installer_session.h"
#include "platform/posix/portable_settings.h"

extern "C" DORVAN_API int DorvanSetRegistryRoot(const char *folder)
{
    return dorvan::platform::SetRegistryRoot(folder) ? 0 : -1;
}

extern "C" DORVAN_API void DorvanSetMessageSink(DorvanMessageSink sink, void *context)
{
    dorvan::platform::SetMessageSink(sink, context);
}

extern "C" DORVAN_API int DorvanSetSessionProperty(const char *name, const char *value)
{
    return dorvan::platform::SetSessionProperty(0, name, value).Ok() ? 0 : -1;
}

extern "C" DORVAN_API int DorvanSessionProperty(const char *name, char *value, int size)
{
    char stored[dorvan::platform::PropertySize];
    dorvan::platform::SessionProperty(0, name, stored);
    const int length = static_cast<int>(std::strlen(stored));
    if (size <= length)
        return -1;
    std::memcpy(value, stored, static_cast<size_t>(length) + 1);
    return length;
}
