// The installer actions of DorvanSetup.dll: the same work as Dorvan.dll's,
// each failure handed back as its message's id and text, never shown.
#include "dorvan_setup.h"
#include "frame/answers.h"
#include "installer/installer_actions.h"

extern "C" DORVAN_API int DORVAN_CALL FindMapDataDir(char *mapDataDir, wchar_t *message, int messageChars)
{
    return dorvan::AnswerWithText(dorvan::DiscoverMapDataDirectory(mapDataDir), message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RegisterMapSet(const char *sourceDir, const char *mapDataDir,
                                                     wchar_t *message, int messageChars)
{
    dorvan::InstallerPaths paths;
    return dorvan::AnswerWithText(dorvan::AppendMapSetEntry(sourceDir, mapDataDir, paths), message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL UnregisterMapSet(const char *mapDataDir, wchar_t *message, int messageChars)
{
    dorvan::InstallerPaths paths;
    return dorvan::AnswerWithText(dorvan::RemoveMapSetRecords(mapDataDir, paths), message, messageChars);
}
