// Registers the map set: appends the entry "GeoExt.gxt" shipped with the
// setup to the geographic dictionary, once, after a numbered backup.
#include "dictionary/byte_search.h"
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "installer/installer_actions.h"

namespace dorvan {

Status AppendMapSetEntry(const char *sourceDir, const char *targetDir, InstallerPaths &paths)
{
    ComposedPath &dictionaryPath = paths.dictionary, &entryPath = paths.entry;
    WholeFile dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionaryPath, dictionary);
    if (!status.Ok())
        return status;

    // An entry path too long to open is reported as a file that cannot be
    // opened.
    if (!ComposePath(entryPath, sourceDir, EntryFileName))
        return WithPath(StatusOf(StatusCode::CannotOpen), entryPath);
    WholeFile entry;
    if (!(status = ReadWholeFile(entryPath.text, platform::FileMode::ReadOnly, entry)).Ok())
        return status;
    entry.handle.Close();

    // Already registered when the entry's raw bytes occur anywhere.
    if (ContainsBytes(dictionary.begin(), dictionary.length, entry.begin(), entry.length))
        return Success;

    // A copy that cannot be made (a full disk, no rights) does not stop
    // the edit.
    (void)MakeNumberedBackup(dictionaryPath.text, dictionary.begin(), dictionary.length);

    // A failed append leaves no part of the entry behind.
    return AppendToDictionary(dictionaryPath.text, dictionary, entry.begin(), entry.length);
}

}  // namespace dorvan
