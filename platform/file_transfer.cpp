// Reads and writes finished here, for every platform: a system (or a test's
// file table) that moves fewer bytes than asked is asked again for the
// rest, so no caller ever sees a short transfer.
#include "platform/file_access.h"

namespace dorvan::platform {

Status FileRead(int handle, int32_t offset, void *buffer, int32_t count)
{
    if (offset < 0 || count < 0 || count > INT32_MAX - offset)
        return StatusOf(StatusCode::ReadFailed);
    auto *bytes = static_cast<uint8_t *>(buffer);
    for (int32_t done = 0; done < count;) {
        int32_t moved = 0;
        Status status = Files->readSome(handle, offset + done, bytes + done, count - done, &moved);
        if (!status.Ok())
            return status;
        if (moved <= 0)
            return StatusOf(StatusCode::ReadFailed);  // the file ended first
        done += moved;
    }
    return Success;
}

Status FileWrite(int handle, int32_t offset, const void *buffer, int32_t count)
{
    // A file is never made to reach past the 32-bit range.
    if (offset < 0 || count < 0 || count > INT32_MAX - offset)
        return StatusOf(StatusCode::WriteFailed);
    const auto *bytes = static_cast<const uint8_t *>(buffer);
    for (int32_t done = 0; done < count;) {
        int32_t moved = 0;
        Status status = Files->writeSome(handle, offset + done, bytes + done, count - done, &moved);
        if (!status.Ok())
            return status;
        if (moved <= 0)
            return StatusOf(StatusCode::WriteFailed);
        done += moved;
    }
    return Success;
}

}  // namespace dorvan::platform
