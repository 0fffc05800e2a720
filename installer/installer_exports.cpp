// The three installer actions of Dorvan.dll: each shows its failure in a
// message box and answers one byte.
#include "dorvan.h"
#include "frame/answers.h"
#include "installer/installer_actions.h"

extern "C" DORVAN_API unsigned char DORVAN_CALL SetInstallDir(DorvanWindow owner, const char *, const char *,
                                                              char *targetDir, const char *)
{
    return dorvan::AnswerInstallerAction(owner, dorvan::DiscoverMapDataDirectory(targetDir));
}

extern "C" DORVAN_API unsigned char DORVAN_CALL SetGeoDict(DorvanWindow owner, const char *, const char *sourceDir,
                                                           const char *targetDir, const char *)
{
    dorvan::InstallerPaths paths;
    constexpr dorvan::Registration how{dorvan::EarlierEntries::Kept, dorvan::CopyRule::BestEffort};
    return dorvan::AnswerInstallerAction(owner, dorvan::AppendMapSetEntry(sourceDir, targetDir, paths, how));
}

extern "C" DORVAN_API unsigned char DORVAN_CALL ClearGeoDict(DorvanWindow owner, const char *, const char *,
                                                             const char *targetDir, const char *)
{
    dorvan::InstallerPaths paths;
    return dorvan::AnswerInstallerAction(owner, dorvan::RemoveMapSetRecords(targetDir, paths, dorvan::CopyRule::BestEffort));
}
