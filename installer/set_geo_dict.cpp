// Registers the map set: appends the entry "GeoExt.gxt" shipped with the
// setup to the geographic dictionary, once, after a numbered backup.
#include "dictionary/byte_search.h"
#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_paths.h"
#include "dorvan.h"
#include "frame/messages.h"

namespace dorvan {

namespace {

unsigned char RegisterMapSet(void *owner, const char *sourceDir, const char *targetDir)
{
    ComposedPath dictionaryPath;
    WholeFile dictionary = ReadDictionaryForInstaller(owner, targetDir, dictionaryPath);
    if (!dictionary.IsRead())
        return 0;

    // An entry path too long to open is reported as a file that cannot be
    // opened.
    ComposedPath entryPath;
    if (!ComposePath(entryPath, sourceDir, EntryFileName)) {
        if (owner)
            ShowPathMessage(owner, MessageOpenFailed, entryPath);
        return 0;
    }
    WholeFile entry = ReadWholeFile(owner, entryPath.text, platform::FileMode::ReadOnly);
    if (!entry.IsRead())
        return 0;
    entry.handle.Close();

    // Already registered when the entry's raw bytes occur anywhere.
    if (ContainsBytes(dictionary.block.get(), dictionary.length, entry.block.get(), entry.length))
        return 1;

    MakeNumberedBackup(dictionaryPath.text, dictionary.block.get(), dictionary.length);

    // A failed append leaves no part of the entry behind.
    bool appended = AppendToDictionary(dictionaryPath.text, dictionary, entry.block.get(), entry.length);
    dictionary.block.reset();
    entry.block.reset();
    return AnswerDictionaryWrite(owner, appended, dictionaryPath.text);
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API unsigned char DORVAN_CALL SetGeoDict(DorvanWindow owner, const char *, const char *sourceDir,
                                                           const char *targetDir, const char *)
{
    return dorvan::RegisterMapSet(owner, sourceDir, targetDir);
}
