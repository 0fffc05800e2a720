#pragma once

#include "dorvan.h"

namespace dorvan {

// Runs an export's body so that no exception ever crosses the library's
// boundary: anything thrown becomes the export's failure value.
template <typename Result, typename Body>
Result GuardExport(Result failure, Body &&body) noexcept
{
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace dorvan
