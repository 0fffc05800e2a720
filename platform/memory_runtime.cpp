// Heap blocks from the run-time library's allocator, the same on every
// platform.
#include <cstdlib>

#include "platform/file_access.h"

namespace dorvan::platform {

void *AllocateFromRuntime(size_t size)
{
    // Some allocators answer null for zero bytes; an empty file still
    // needs a valid block.
    return std::malloc(size ? size : 1);
}

void ReleaseToRuntime(void *block)
{
    std::free(block);
}

}  // namespace dorvan::platform
