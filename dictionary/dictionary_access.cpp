#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_path.h"
#include "frame/message_ids.h"
#include "frame/messages.h"

namespace dorvan {

WholeFile ReadDictionaryForInstaller(void *owner, const char *mapDataDir, std::string &path)
{
    if (!BuildDictionaryPath(path, mapDataDir)) {
        ShowFormattedMessage(owner, MessageDictionaryMissing, StopStyle, path.c_str());
        return {};
    }
    return ReadWholeFile(owner, path.c_str(), platform::FileMode::ReadWrite);
}

unsigned char AnswerDictionaryWrite(void *owner, bool written, const std::string &path)
{
    if (written)
        return 1;
    ShowFormattedMessage(owner, MessageWriteFailed, StopStyle, path.c_str());
    return 0;
}

WholeFile ReadDictionaryQuietly(const char *mapDataDir, platform::FileMode mode)
{
    std::string path;
    if (!BuildDictionaryPath(path, mapDataDir))
        return {};
    return ReadWholeFile(nullptr, path.c_str(), mode);
}

}  // namespace dorvan
