// The operating system's file and memory functions behind the file seam.
// The shipped library forwards the seam straight to them
// (file_access_direct.cpp); test programs may put a layer of their own in
// between.
#pragma once

#include "platform/file_access.h"

namespace dorvan::platform::native {

int FileOpen(const char *path, FileMode mode, OpenFailure *failure);
int32_t FileRead(int handle, void *buffer, int32_t count);
int32_t FileWrite(int handle, const void *buffer, int32_t count);
int32_t FileSeek(int handle, int32_t offset, SeekOrigin origin);
bool FileResize(int handle, int32_t length);
bool FileClose(int handle);
int64_t FileLength(int handle);
bool FileExists(const char *path);
void *MemoryAllocate(size_t size);
void MemoryRelease(void *block);

}  // namespace dorvan::platform::native
