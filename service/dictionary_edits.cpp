// The quiet dictionary edits: append any file, with no backup and no
// duplicate check; remove the records naming any map set, ASCII letters
// matched without regard to case, with no backup and no message.
#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dorvan.h"

namespace dorvan {

namespace {

int AppendFileToDictionary(const char *mapDataDir, const char *filePath)
{
    // Read whole although its content is not used: a dictionary that
    // cannot be read or held in memory makes the call fail.
    ComposedPath dictionaryPath;
    WholeFile dictionary = ReadDictionaryQuietly(mapDataDir, platform::FileMode::ReadWrite, dictionaryPath);
    if (!dictionary.IsRead())
        return -1;
    // Read before anything is written, so that the dictionary's own path
    // appends a copy of its old content.
    WholeFile appended = ReadWholeFile(nullptr, filePath, platform::FileMode::ReadOnly);
    if (!appended.IsRead())
        return -1;
    appended.handle.Close();

    // A failed append is taken back, so the dictionary never ends in part
    // of a file.
    return AppendToDictionary(dictionaryPath.text, dictionary, appended.block.get(), appended.length) ? 0 : -1;
}

int RemoveNamedRecords(const char *mapDataDir, const char *name)
{
    ComposedPath dictionaryPath;
    WholeFile dictionary = ReadDictionaryQuietly(mapDataDir, platform::FileMode::ReadWrite, dictionaryPath);
    if (!dictionary.IsRead())
        return -1;
    switch (RemoveRecordsFromDictionary(dictionaryPath.text, dictionary, name, NameMatching::AnyAsciiCase)) {
    case RemovalOutcome::NothingToRemove:
        return 0;
    case RemovalOutcome::Removed:
        return 1;
    case RemovalOutcome::Failed:
        break;
    }
    return -1;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictGlue(const char *mapDataDir, const char *filePath)
{
    return dorvan::AppendFileToDictionary(mapDataDir, filePath);
}

extern "C" DORVAN_API int DORVAN_CALL GeoDictRemove(const char *mapDataDir, const char *name)
{
    return dorvan::RemoveNamedRecords(mapDataDir, name);
}
