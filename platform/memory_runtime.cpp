// Heap blocks from the run-time library's allocator, the same on every
// platform.
#include <cstdlib>

#include "platform/memory.h"

namespace dorvan::platform {

namespace {

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

}  // namespace

const MemoryTable NativeMemory = {AllocateFromRuntime, ReleaseToRuntime};
const MemoryTable *Memory = &NativeMemory;

}  // namespace dorvan::platform
