#include "dictionary/dictionary_file.h"

#include "dictionary/dictionary_journal.h"
#include "frame/messages.h"

namespace dorvan {

int32_t ReadFully(int handle, void *buffer, int32_t count)
{
    auto *bytes = static_cast<uint8_t *>(buffer);
    int32_t total = 0;
    while (total < count) {
        int32_t got = platform::FileRead(handle, bytes + total, count - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

int32_t WriteFully(int handle, const void *buffer, int32_t count)
{
    const auto *bytes = static_cast<const uint8_t *>(buffer);
    int32_t total = 0;
    while (total < count) {
        int32_t put = platform::FileWrite(handle, bytes + total, count - total);
        if (put <= 0)
            break;
        total += put;
    }
    return total;
}

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

void ShowPathMessage(void *owner, unsigned id, const ComposedPath &path)
{
    if (path.fits) {
        ShowFormattedMessage(owner, id, StopStyle, path.text);
        return;
    }
    // Such a path was never opened; the user still sees what was asked for.
    // Without memory for it, as much as the path buffer holds is shown.
    const size_t size = ComposePathInto(nullptr, 0, path.directory, path.fileName) + 1;
    HeapBlock whole(static_cast<uint8_t *>(platform::MemoryAllocate(size)));
    if (!whole) {
        ShowFormattedMessage(owner, id, StopStyle, path.text);
        return;
    }
    char *text = reinterpret_cast<char *>(whole.get());
    ComposePathInto(text, size, path.directory, path.fileName);
    ShowFormattedMessage(owner, id, StopStyle, text);
}

namespace {

// Whether the dictionary may be read for `mode` once an interrupted edit
// was rolled back: an edit needs the journal gone, since it would undo the
// edit on a later call.
bool ReadyAfterRollBack(const char *dictionaryPath, platform::FileMode mode)
{
    JournalState state = RollBackInterruptedEdit(dictionaryPath);
    return state == JournalState::Clear || (state == JournalState::Left && mode == platform::FileMode::ReadOnly);
}

}  // namespace

WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, ComposedPath &path)
{
    if (!BuildDictionaryPath(path, mapDataDir)) {
        ShowPathMessage(owner, MessageDictionaryMissing, path);
        return {};
    }
    if (!ReadyAfterRollBack(path.text, platform::FileMode::ReadWrite)) {
        if (owner)
            ShowFormattedMessage(owner, MessageOpenFailed, StopStyle, path.text);
        return {};
    }
    return ReadWholeFile(owner, path.text, platform::FileMode::ReadWrite);
}

unsigned char AnswerDictionaryWrite(void *owner, bool written, const char *path)
{
    if (written)
        return 1;
    ShowFormattedMessage(owner, MessageWriteFailed, StopStyle, path);
    return 0;
}

WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode, ComposedPath &path)
{
    if (!BuildDictionaryPath(path, mapDataDir) || !ReadyAfterRollBack(path.text, mode))
        return {};
    return ReadWholeFile(nullptr, path.text, mode);
}

}  // namespace dorvan
