// Quiet removal of the records naming any map set, ASCII letters matched
// without regard to case: no backup, no message.
#include "dictionary/byte_search.h"
#include "dictionary/dictionary_access.h"
#include "dictionary/file_rewrite.h"
#include "dictionary/record_removal.h"
#include "dictionary/whole_file_reader.h"
#include "dorvan.h"

namespace dorvan {

namespace {

int RemoveNamedRecords(const char *mapDataDir, const char *name)
{
    WholeFile dictionary = ReadDictionaryQuietly(mapDataDir, platform::FileMode::ReadWrite);
    if (!dictionary.IsRead())
        return -1;
    RemovalResult removal = RemoveMatchingRecords(dictionary.block.get(), dictionary.length, name, FindBytesNoCase);
    if (!removal.removed)
        return 0;
    return RewriteFile(dictionary.handle.Get(), dictionary.block.get(), removal.newLength) ? 1 : -1;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API int DORVAN_CALL GeoDictRemove(const char *mapDataDir, const char *name)
{
    return dorvan::RemoveNamedRecords(mapDataDir, name);
}
