// The quiet dictionary edits: append any file, with no backup and no
// duplicate check; remove the records naming any map set, ASCII letters
// matched without regard to case, with no backup and no message.
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "dorvan_setup.h"
#include "edge/answers.h"
#include "edge/caller_paths.h"

namespace dorvan {

namespace {

Status AppendFileToDictionary(const char *mapDataDir, const char *filePath)
{
    // Read whole although its content is not used: a dictionary that
    // cannot be read or held in memory makes the call fail.
    Dictionary dictionary;
    Status status = ReadDictionary(mapDataDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok())
        return status;
    // Read before anything is written, so that the dictionary's own path
    // appends a copy of its old content.
    WholeFile appended;
    if (!(status = ReadWholeFile(filePath, platform::FileMode::ReadOnly, FileRole::CallersFile, appended)).Ok())
        return status;
    appended.handle.Close();

    // A failed append is taken back, so the dictionary never ends in part
    // of a file.
    return AppendToDictionary(dictionary.folder, dictionary.file, appended.begin(), appended.length);
}

Status RemoveNamedRecords(const char *mapDataDir, const char *name, bool &removed)
{
    Dictionary dictionary;
    const Status status = ReadDictionary(mapDataDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok())
        return status;
    return RemoveRecordsFromDictionary(dictionary.folder, dictionary.file, name, NameMatching::AnyAsciiCase,
                                       removed);
}

template <typename Char>
int AnswerGlue(const Char *mapDataDir, const Char *filePath)
{
    const CallerPath directory(mapDataDir), file(filePath);
    const Status status = directory.Held() && file.Held() ? AppendFileToDictionary(directory.Get(), file.Get())
                                                          : PathsNotHeld;
    return AnswerServiceFunction(status, 0, -1);
}

template <typename Char>
int AnswerRemove(const Char *mapDataDir, const char *name)
{
    const CallerPath directory(mapDataDir);
    bool removed = false;
    const Status status = directory.Held() ? RemoveNamedRecords(directory.Get(), name, removed) : PathsNotHeld;
    return AnswerServiceFunction(status, removed ? 1 : 0, -1);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictGlue(const char *mapDataDir, const char *filePath)
{
    return dorvan::AnswerGlue(mapDataDir, filePath);
}

extern "C" DORVAN_API int DORVAN_CALL GeoDictGlueW(const wchar_t *mapDataDir, const wchar_t *filePath)
{
    return dorvan::AnswerGlue(mapDataDir, filePath);
}

extern "C" DORVAN_API int DORVAN_CALL GeoDictRemove(const char *mapDataDir, const char *name)
{
    return dorvan::AnswerRemove(mapDataDir, name);
}

extern "C" DORVAN_API int DORVAN_CALL GeoDictRemoveW(const wchar_t *mapDataDir, const char *name)
{
    return dorvan::AnswerRemove(mapDataDir, name);
}
