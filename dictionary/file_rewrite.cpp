#include "dictionary/file_rewrite.h"

#include "dictionary/file_transfer.h"
#include "platform/file_access.h"

namespace dorvan {

bool RewriteFile(int handle, const uint8_t *block, int32_t newLength)
{
    if (platform::FileSeek(handle, 0, platform::SeekOrigin::Start) != 0)
        return false;
    if (WriteFully(handle, block, newLength) != newLength)
        return false;
    return platform::FileResize(handle, newLength);
}

}  // namespace dorvan
