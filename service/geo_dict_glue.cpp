// Quiet append of any file to the geographic dictionary: no backup, no
// duplicate check.
#include "dictionary/dictionary_access.h"
#include "dictionary/file_append.h"
#include "dictionary/whole_file_reader.h"
#include "dorvan.h"

namespace dorvan {

namespace {

int AppendFileToDictionary(const char *mapDataDir, const char *filePath)
{
    // Read whole although its content is not used: a dictionary that
    // cannot be read or held in memory makes the call fail.
    WholeFile dictionary = ReadDictionaryQuietly(mapDataDir, platform::FileMode::ReadWrite);
    if (!dictionary.IsRead())
        return -1;
    // Read before anything is written, so that the dictionary's own path
    // appends a copy of its old content.
    WholeFile appended = ReadWholeFile(nullptr, filePath, platform::FileMode::ReadOnly);
    if (!appended.IsRead())
        return -1;
    appended.handle.Close();

    // A short append is taken back, so the dictionary never ends in part
    // of a file.
    return AppendWhole(dictionary.handle.Get(), dictionary.length, appended.block.get(), appended.length) ? 0 : -1;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictGlue(const char *mapDataDir, const char *filePath)
{
    return dorvan::AppendFileToDictionary(mapDataDir, filePath);
}
