#include "dictionary/dictionary_file.h"

#include <utility>

namespace dorvan {

Status ReadWholeFile(const char *path, platform::FileMode mode, FileRole role, WholeFile &file)
{
    return ReadWholeFile(platform::NoFolder, path, mode, role, file);
}

Status ReadWholeFile(int folder, const char *name, platform::FileMode mode, FileRole role, WholeFile &file)
{
    platform::FileHandle handle;
    const Status opened = handle.Open(folder, name, mode);
    if (opened.code == StatusCode::WrittenByOther)
        return Concerning(opened, role);
    if (!opened.Ok())
        return StatusOf(StatusCode::CannotOpen, role);

    int64_t length = 0;
    if (!platform::FileLength(handle.Get(), &length).Ok() || length < 0 || length > INT32_MAX)
        return StatusOf(StatusCode::CannotSize, role);

    platform::HeapBlock block = platform::AllocateBlock(static_cast<size_t>(length));
    if (!block)
        return StatusOf(StatusCode::NoMemory, role);

    const auto wanted = static_cast<int32_t>(length);
    if (!platform::FileRead(handle.Get(), 0, block.get(), wanted).Ok())
        return StatusOf(StatusCode::ReadFailed, role);

    file.handle = std::move(handle);
    file.block = std::move(block);
    file.length = wanted;
    return Success;
}

}  // namespace dorvan
