// Reads and writes finished here, for every platform: a system (or a test's
// file table) that moves fewer bytes than asked is asked again for the
// rest, so no caller ever sees a short transfer.
#include "platform/file_access.h"

namespace dorvan::platform {

namespace {

// Asks `some` for the bytes still to move until every one has moved; a
// transfer of none (the file ended, or the disk took nothing) is `failure`.
template <typename Byte, typename Some>
Status MoveEvery(Some some, int handle, int32_t offset, Byte *bytes, int32_t count, StatusCode failure)
{
    // A file is never read or made to reach past the 32-bit range.
    if (offset < 0 || count < 0 || count > INT32_MAX - offset)
        return StatusOf(failure);
    for (int32_t done = 0; done < count;) {
        int32_t moved = 0;
        Status status = some(handle, offset + done, bytes + done, count - done, &moved);
        if (!status.Ok())
            return status;
        if (moved <= 0)
            return StatusOf(failure);
        done += moved;
    }
    return Success;
}

}  // namespace

Status FileRead(int handle, int32_t offset, void *buffer, int32_t count)
{
    return MoveEvery(Files->readSome, handle, offset, static_cast<uint8_t *>(buffer), count, StatusCode::ReadFailed);
}

Status FileWrite(int handle, int32_t offset, const void *buffer, int32_t count)
{
    return MoveEvery(Files->writeSome, handle, offset, static_cast<const uint8_t *>(buffer), count,
                     StatusCode::WriteFailed);
}

Status FileReadNext(int handle, void *buffer, int32_t count)
{
    const auto next = [](int from, int32_t, uint8_t *bytes, int32_t asked, int32_t *moved) {
        return Files->readNext(from, bytes, asked, moved);
    };
    return MoveEvery(next, handle, 0, static_cast<uint8_t *>(buffer), count, StatusCode::ReadFailed);
}

}  // namespace dorvan::platform
