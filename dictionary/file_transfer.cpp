#include "dictionary/file_transfer.h"

#include "platform/file_access.h"

namespace dorvan {

int32_t ReadFully(int handle, void *buffer, int32_t count)
{
    auto *bytes = static_cast<uint8_t *>(buffer);
    int32_t total = 0;
    while (total < count) {
        int32_t got = platform::FileRead(handle, bytes + total, count - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

int32_t WriteFully(int handle, const void *buffer, int32_t count)
{
    const auto *bytes = static_cast<const uint8_t *>(buffer);
    int32_t total = 0;
    while (total < count) {
        int32_t put = platform::FileWrite(handle, bytes + total, count - total);
        if (put <= 0)
            break;
        total += put;
    }
    return total;
}

}  // namespace dorvan
