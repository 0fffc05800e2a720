#include "dictionary/dictionary_access.h"

#include "dictionary/dictionary_journal.h"

namespace dorvan {

Status ReadDictionary(const char *mapDataDir, platform::FileMode mode, ComposedPath &path, WholeFile &dictionary)
{
    if (!BuildDictionaryPath(path, mapDataDir))
        return WithPath(StatusOf(StatusCode::FileMissing), path);
    Status status = RollBackInterruptedEdit(path.text, mode);
    if (status.Ok())
        status = ReadWholeFile(path.text, mode, dictionary);
    return status;
}

}  // namespace dorvan
