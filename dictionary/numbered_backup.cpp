#include "dictionary/numbered_backup.h"

#include <cstdio>

#include "dictionary/dictionary_path.h"
#include "dictionary/file_transfer.h"
#include "dictionary/resource_guards.h"
#include "platform/file_access.h"

namespace dorvan {

void MakeNumberedBackup(const std::string &dictionaryPath, const uint8_t *block, int32_t length)
{
    size_t dot = dictionaryPath.rfind('.');
    if (dot == std::string::npos)
        return;
    const std::string stem = dictionaryPath.substr(0, dot + 1);

    // The counter stops short of wrapping around to a name already tried.
    for (uint32_t counter = 0; counter != UINT32_MAX; ++counter) {
        char extension[16];
        std::snprintf(extension, sizeof extension, "%03u", static_cast<unsigned>(counter));
        std::string name = stem + extension;
        if (!FitsPathBuffer(name))
            return;
        if (platform::FileExists(name.c_str()))
            continue;

        platform::OpenFailure failure = platform::OpenFailure::None;
        FileHandle copy(platform::FileOpen(name.c_str(), platform::FileMode::CreateNew, &failure));
        if (!copy.IsOpen()) {
            // Taken since the existence test: try the next number.
            if (failure == platform::OpenFailure::NameTaken)
                continue;
            return;
        }
        WriteFully(copy.Get(), block, length);
        return;
    }
}

}  // namespace dorvan
