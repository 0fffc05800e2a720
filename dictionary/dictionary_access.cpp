#include "dictionary/dictionary_access.h"

#include "frame/message_ids.h"
#include "frame/messages.h"

namespace dorvan {

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

WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, ComposedPath &path)
{
    if (!BuildDictionaryPath(path, mapDataDir)) {
        ShowPathMessage(owner, MessageDictionaryMissing, path);
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

WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode)
{
    ComposedPath path;
    if (!BuildDictionaryPath(path, mapDataDir))
        return {};
    return ReadWholeFile(nullptr, path.text, mode);
}

}  // namespace dorvan
