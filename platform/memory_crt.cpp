// Heap blocks from the run-time library's allocator.
#include <cstdlib>

#include "platform/native_file_access.h"

namespace dorvan::platform::native {

void *MemoryAllocate(size_t size)
{
    // Some allocators answer null for zero bytes; an empty file still
    // needs a valid block.
    return std::malloc(size ? size : 1);
}

void MemoryRelease(void *block)
{
    std::free(block);
}

}  // namespace dorvan::platform::native
