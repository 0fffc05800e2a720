// Unregisters the map set: cuts every dictionary record naming the Poland
// map file out of the geographic dictionary, after a numbered backup.
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "installer/installer_actions.h"

namespace dorvan {

Status RemoveMapSetRecords(const char *targetDir, InstallerPaths &paths, CopyRule rule)
{
    ComposedPath &dictionaryPath = paths.dictionary;
    WholeFile dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionaryPath, dictionary);
    if (!status.Ok())
        return status;

    // Always, before the content is examined, so a copy is left even when
    // nothing will be removed; a rollback needs it only when something is.
    if (rule == CopyRule::Required) {
        RecordSpan first;
        if (!RecordScan(MapFileName, NameMatching::Exact).NextMatchingRecord(dictionary.begin(), dictionary.length, 0,
                                                                            first))
            rule = CopyRule::BestEffort;
    }
    if (!(status = BackUpBeforeEdit(dictionaryPath, dictionary, rule)).Ok())
        return status;

    bool removed = false;
    return RemoveRecordsFromDictionary(dictionaryPath.text, dictionary, MapFileName, NameMatching::Exact, removed);
}

}  // namespace dorvan
