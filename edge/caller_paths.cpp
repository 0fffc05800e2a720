// The map data directory handed back to a caller in the caller's encoding.
#include "edge/caller_paths.h"

#include <cstring>

namespace dorvan {

Status HandOutDirectory(const char *found, char *out)
{
    // A directory within the path limit always fits the larger buffer.
    char ansi[PathBufferSize];
    platform::PathToAnsi(found, ansi, sizeof ansi);
    const size_t size = std::strlen(ansi) + 1;
    if (size > CallerBufferChars)
        return StatusOf(StatusCode::RegistryFailed);
    std::memcpy(out, ansi, size);
    return Success;
}

Status HandOutDirectory(const char *found, wchar_t *out)
{
    // Within the path limit, a directory's UTF-16 always fits.
    platform::WidenUtf8(found, out, static_cast<int>(CallerBufferChars));
    return Success;
}

}  // namespace dorvan
