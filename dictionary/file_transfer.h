#pragma once

#include <cstdint>

namespace dorvan {

// Reads until `count` bytes have arrived, the file ends or a read fails;
// returns the bytes that arrived. A system that hands over less than asked
// in one call is thus not taken for a short file.
int32_t ReadFully(int handle, void *buffer, int32_t count);

// Writes until `count` bytes are written or a write fails or writes
// nothing; returns the bytes written.
int32_t WriteFully(int handle, const void *buffer, int32_t count);

}  // namespace dorvan
