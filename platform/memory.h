// Heap blocks: one small table of functions, the run-time library's unless
// a test program puts its own in place, and a guard that gives a block back
// on every path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace dorvan::platform {

struct MemoryTable {
    // A block of `size` bytes, or null; a block of 0 bytes is a valid block.
    void *(*allocate)(size_t size);
    void (*release)(void *block);
};

extern const MemoryTable NativeMemory;
extern const MemoryTable *Memory;

inline void *MemoryAllocate(size_t size) { return Memory->allocate(size); }
inline void MemoryRelease(void *block) { Memory->release(block); }

struct HeapBlockRelease {
    void operator()(uint8_t *block) const { MemoryRelease(block); }
};
using HeapBlock = std::unique_ptr<uint8_t[], HeapBlockRelease>;

inline HeapBlock AllocateBlock(size_t size)
{
    return HeapBlock(static_cast<uint8_t *>(MemoryAllocate(size)));
}

}  // namespace dorvan::platform
