// The installer actions of DorvanSetup.dll: the same work as Dorvan.dll's,
// each failure handed back as its message's id and text, never shown.
#include <cstring>

#include "dorvan_setup.h"
#include "frame/answers.h"
#include "installer/installer_actions.h"
#include "unattended/custom_action_data.h"

extern "C" DORVAN_API int DORVAN_CALL FindMapDataDir(char *mapDataDir, wchar_t *message, int messageChars)
{
    return dorvan::AnswerWithText(dorvan::DiscoverMapDataDirectory(mapDataDir), message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RegisterMapSet(const char *sourceDir, const char *mapDataDir,
                                                     wchar_t *message, int messageChars)
{
    dorvan::InstallerPaths paths;
    // A newer version's entry takes the place of an older one's.
    constexpr dorvan::Registration how{dorvan::EarlierEntries::Replaced, dorvan::CopyRule::BestEffort};
    return dorvan::AnswerWithText(dorvan::AppendMapSetEntry(sourceDir, mapDataDir, paths, how), message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL UnregisterMapSet(const char *mapDataDir, wchar_t *message, int messageChars)
{
    dorvan::InstallerPaths paths;
    return dorvan::AnswerWithText(dorvan::RemoveMapSetRecords(mapDataDir, paths, dorvan::CopyRule::BestEffort), message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL TakeDictionarySnapshot(const char *mapDataDir, char *snapshot,
                                                             int snapshotChars, wchar_t *message, int messageChars)
{
    if (snapshotChars < static_cast<int>(dorvan::SnapshotTextSize))
        return dorvan::AnswerBadArgument(message, messageChars);
    dorvan::InstallerPaths paths;
    dorvan::DictionarySnapshot taken{};
    const dorvan::Status status = dorvan::TakeDictionarySnapshot(mapDataDir, taken, paths);
    char text[dorvan::SnapshotTextSize] = "";
    if (status.Ok())
        dorvan::FormatSnapshot(taken, text);
    std::memcpy(snapshot, text, sizeof text);
    return dorvan::AnswerWithText(status, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RestoreDictionarySnapshot(const char *mapDataDir, const char *snapshot,
                                                                wchar_t *message, int messageChars)
{
    dorvan::DictionarySnapshot wanted{};
    if (!dorvan::ParseSnapshot(snapshot, wanted))
        return dorvan::AnswerBadArgument(message, messageChars);
    dorvan::InstallerPaths paths;
    return dorvan::AnswerWithText(dorvan::RestoreDictionarySnapshot(mapDataDir, wanted, paths), message,
                                  messageChars);
}
