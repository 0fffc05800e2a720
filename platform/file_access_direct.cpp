// The file seam as the shipped library has it: straight to the system.
#include "platform/native_file_access.h"

namespace dorvan::platform {

int FileOpen(const char *path, FileMode mode, OpenFailure *failure) { return native::FileOpen(path, mode, failure); }
int32_t FileRead(int handle, void *buffer, int32_t count) { return native::FileRead(handle, buffer, count); }
int32_t FileWrite(int handle, const void *buffer, int32_t count) { return native::FileWrite(handle, buffer, count); }
int32_t FileSeek(int handle, int32_t offset, SeekOrigin origin) { return native::FileSeek(handle, offset, origin); }
bool FileResize(int handle, int32_t length) { return native::FileResize(handle, length); }
bool FileClose(int handle) { return native::FileClose(handle); }
int64_t FileLength(int handle) { return native::FileLength(handle); }
bool FileExists(const char *path) { return native::FileExists(path); }
void *MemoryAllocate(size_t size) { return native::MemoryAllocate(size); }
void MemoryRelease(void *block) { native::MemoryRelease(block); }

}  // namespace dorvan::platform
