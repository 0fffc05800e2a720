#pragma once

#include <cstdint>

namespace dorvan {

// Replaces the content of the open file with the first `newLength` bytes
// of `block`. The new content is written from the start first and the file
// is cut to its new length afterwards, so a failure never leaves a file
// emptied before anything was written. Fails when the write falls short
// or the cut fails.
bool RewriteFile(int handle, const uint8_t *block, int32_t newLength);

}  // namespace dorvan
