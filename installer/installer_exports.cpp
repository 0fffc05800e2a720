// The three installer actions of Dorvan.dll: each shows its failure in a
// message box and answers one byte. Their strings are in the ANSI code
// page, as existing setups pass them.
#include "dorvan.h"
#include "edge/answers.h"
#include "edge/caller_paths.h"
#include "installer/installer_actions.h"

extern "C" DORVAN_API unsigned char DORVAN_CALL SetInstallDir(DorvanWindow owner, const char *, const char *,
                                                              char *targetDir, const char *)
{
    char found[dorvan::PathBufferSize];
    dorvan::Status status = dorvan::FindMapDataDir(found, dorvan::platform::KeyAccess::Full);
    if (status.Ok())
        status = dorvan::HandOutDirectory(found, targetDir);
    return dorvan::AnswerInstallerAction(owner, status);
}

extern "C" DORVAN_API unsigned char DORVAN_CALL SetGeoDict(DorvanWindow owner, const char *, const char *sourceDir,
                                                           const char *targetDir, const char *)
{
    const dorvan::CallerPath source(sourceDir), target(targetDir);
    constexpr dorvan::Registration how{dorvan::EarlierEntries::Kept, dorvan::CopyRule::BestEffort,
                                        dorvan::DataCheck::AsEver};
    return dorvan::AnswerInstallerAction(owner, source.Held() && target.Held()
                                                    ? dorvan::RegisterMapSet(source.Get(), target.Get(), how)
                                                    : dorvan::PathsNotHeld,
                                         {target.Get(), source.Get()});
}

extern "C" DORVAN_API unsigned char DORVAN_CALL ClearGeoDict(DorvanWindow owner, const char *, const char *,
                                                             const char *targetDir, const char *)
{
    const dorvan::CallerPath target(targetDir);
    return dorvan::AnswerInstallerAction(
        owner, target.Held() ? dorvan::UnregisterMapSet(target.Get(), dorvan::CopyRule::BestEffort, dorvan::DataCheck::AsEver) : dorvan::PathsNotHeld,
        {target.Get()});
}
