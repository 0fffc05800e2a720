#include "dictionary/whole_file_reader.h"

#include "dictionary/dictionary_paths.h"
#include "dictionary/file_transfer.h"
#include "frame/message_ids.h"
#include "frame/messages.h"

namespace dorvan {

WholeFile ReadWholeFile(void *owner, const char *path, platform::FileMode mode)
{
    WholeFile file;
    FileHandle handle(platform::FileOpen(path, mode));
    if (!handle.IsOpen()) {
        if (owner)
            ShowFormattedMessage(owner, MessageOpenFailed, StopStyle, path);
        return file;
    }

    int64_t length = platform::FileLength(handle.Get());
    if (length < 0 || length > INT32_MAX) {
        handle.Close();
        if (owner)
            ShowFormattedMessage(owner, MessageReadFailed, StopStyle, path);
        return file;
    }

    HeapBlock block(static_cast<uint8_t *>(platform::MemoryAllocate(static_cast<size_t>(length))));
    if (!block) {
        handle.Close();
        if (owner)
            ShowMessage(owner, MessageOutOfMemory, StopStyle);
        return file;
    }

    int32_t wanted = static_cast<int32_t>(length);
    if (ReadFully(handle.Get(), block.get(), wanted) != wanted) {
        block.reset();
        handle.Close();
        if (owner)
            ShowFormattedMessage(owner, MessageReadFailed, StopStyle, path);
        return file;
    }

    file.handle = std::move(handle);
    file.block = std::move(block);
    file.length = wanted;
    return file;
}

}  // namespace dorvan
