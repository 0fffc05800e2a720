#include "dictionary/file_append.h"

#include "dictionary/file_transfer.h"
#include "platform/file_access.h"

namespace dorvan {

bool AppendWhole(int handle, int32_t oldLength, const uint8_t *bytes, int32_t length)
{
    // A seek that does not land at the old end would write elsewhere.
    bool appended = platform::FileSeek(handle, 0, platform::SeekOrigin::End) == oldLength &&
                    WriteFully(handle, bytes, length) == length;
    if (!appended)
        platform::FileResize(handle, oldLength);
    return appended;
}

}  // namespace dorvan
