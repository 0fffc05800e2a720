// Guards that release a file handle or a heap block on every path.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/file_access.h"

namespace dorvan {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int handle) : handle_(handle) {}
    FileHandle(FileHandle &&other) noexcept : handle_(other.handle_) { other.handle_ = platform::NoFile; }
    FileHandle &operator=(FileHandle &&other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = platform::NoFile;
        }
        return *this;
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Close(); }

    bool IsOpen() const { return handle_ != platform::NoFile; }
    int Get() const { return handle_; }
    void Close()
    {
        if (IsOpen())
            platform::FileClose(handle_);
        handle_ = platform::NoFile;
    }

private:
    int handle_ = platform::NoFile;
};

struct HeapBlockRelease {
    void operator()(uint8_t *block) const { platform::MemoryRelease(block); }
};
using HeapBlock = std::unique_ptr<uint8_t[], HeapBlockRelease>;

}  // namespace dorvan
