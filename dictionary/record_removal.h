#pragma once

#include <cstdint>

#include "dictionary/byte_search.h"

namespace dorvan {

struct RemovalResult {
    int32_t newLength;
    bool removed;  // at least one record named the map set
};

// Cuts out of the block every record in which `name` occurs (by `matcher`,
// searched only inside the record and never past the end of the data), in
// one pass. Records are found by searching for their tag, from the end of
// the record before; bytes outside records and records that do not match
// keep their order and bytes. A matching record that runs past the end of
// the data cuts the data at its tag. The block never grows.
RemovalResult RemoveMatchingRecords(uint8_t *block, int32_t length, const char *name, ByteMatcher matcher);

}  // namespace dorvan
