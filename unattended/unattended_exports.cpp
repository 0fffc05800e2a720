// The installer actions of DorvanSetup.dll: the same work as Dorvan.dll's,
// each failure handed back as its message's id and text, never shown. Each
// takes its paths in the ANSI code page, or, as its ...W twin, in UTF-16,
// which names any path Windows can.
#include <cstring>

#include "dorvan_setup.h"
#include "edge/answers.h"
#include "edge/caller_paths.h"
#include "installer/installer_actions.h"
#include "unattended/custom_action_data.h"

namespace dorvan {

namespace {

template <typename Char>
int FindMapDataDirFor(Char *mapDataDir, wchar_t *message, int messageChars)
{
    char found[PathBufferSize];
    Status status = FindMapDataDir(found, platform::KeyAccess::Read);
    if (status.Ok())
        status = HandOutDirectory(found, mapDataDir);
    return AnswerWithText(status, {}, message, messageChars);
}

template <typename Char>
int RegisterMapSetFor(const Char *sourceDir, const Char *mapDataDir, wchar_t *message, int messageChars)
{
    const CallerPath source(sourceDir), target(mapDataDir);
    // A newer version's entry takes the place of an older one's.
    constexpr Registration how{EarlierEntries::Replaced, CopyRule::BestEffort, DataCheck::Understood};
    return AnswerWithText(source.Held() && target.Held() ? RegisterMapSet(source.Get(), target.Get(), how)
                                                         : PathsNotHeld,
                          {target.Get(), source.Get()}, message, messageChars);
}

template <typename Char>
int UnregisterMapSetFor(const Char *mapDataDir, wchar_t *message, int messageChars)
{
    const CallerPath target(mapDataDir);
    return AnswerWithText(target.Held() ? UnregisterMapSet(target.Get(), CopyRule::BestEffort, DataCheck::Understood) : PathsNotHeld,
                          {target.Get()}, message, messageChars);
}

template <typename Char>
int TakeSnapshotFor(const Char *mapDataDir, char *snapshot, int snapshotChars, wchar_t *message, int messageChars)
{
    if (snapshotChars < static_cast<int>(SnapshotTextSize))
        return AnswerBadArgument(message, messageChars);
    const CallerPath target(mapDataDir);
    DictionarySnapshot taken{};
    const Status status = target.Held() ? TakeDictionarySnapshot(target.Get(), taken) : PathsNotHeld;
    char text[WholeSnapshotTextSize] = "";
    if (status.Ok())
        FormatSnapshot(taken, text, ShortDigestBytes);
    std::memcpy(snapshot, text, SnapshotTextSize);
    return AnswerWithText(status, {target.Get()}, message, messageChars);
}

template <typename Char>
int RestoreSnapshotFor(const Char *mapDataDir, const char *snapshot, wchar_t *message, int messageChars)
{
    DictionarySnapshot wanted{};
    if (!ParseSnapshot(snapshot, wanted))
        return AnswerBadArgument(message, messageChars);
    const CallerPath target(mapDataDir);
    return AnswerWithText(target.Held() ? RestoreDictionarySnapshot(target.Get(), wanted) : PathsNotHeld,
                          {target.Get()}, message, messageChars);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL FindMapDataDir(char *mapDataDir, wchar_t *message, int messageChars)
{
    return dorvan::FindMapDataDirFor(mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL FindMapDataDirW(wchar_t *mapDataDir, wchar_t *message, int messageChars)
{
    return dorvan::FindMapDataDirFor(mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RegisterMapSet(const char *sourceDir, const char *mapDataDir,
                                                     wchar_t *message, int messageChars)
{
    return dorvan::RegisterMapSetFor(sourceDir, mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RegisterMapSetW(const wchar_t *sourceDir, const wchar_t *mapDataDir,
                                                      wchar_t *message, int messageChars)
{
    return dorvan::RegisterMapSetFor(sourceDir, mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL UnregisterMapSet(const char *mapDataDir, wchar_t *message, int messageChars)
{
    return dorvan::UnregisterMapSetFor(mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL UnregisterMapSetW(const wchar_t *mapDataDir, wchar_t *message,
                                                        int messageChars)
{
    return dorvan::UnregisterMapSetFor(mapDataDir, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL TakeDictionarySnapshot(const char *mapDataDir, char *snapshot,
                                                             int snapshotChars, wchar_t *message, int messageChars)
{
    return dorvan::TakeSnapshotFor(mapDataDir, snapshot, snapshotChars, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL TakeDictionarySnapshotW(const wchar_t *mapDataDir, char *snapshot,
                                                              int snapshotChars, wchar_t *message, int messageChars)
{
    return dorvan::TakeSnapshotFor(mapDataDir, snapshot, snapshotChars, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RestoreDictionarySnapshot(const char *mapDataDir, const char *snapshot,
                                                                wchar_t *message, int messageChars)
{
    return dorvan::RestoreSnapshotFor(mapDataDir, snapshot, message, messageChars);
}

extern "C" DORVAN_API int DORVAN_CALL RestoreDictionarySnapshotW(const wchar_t *mapDataDir, const char *snapshot,
                                                                 wchar_t *message, int messageChars)
{
    return dorvan::RestoreSnapshotFor(mapDataDir, snapshot, message, messageChars);
}
