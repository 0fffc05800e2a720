// Unregisters the map set: cuts every dictionary record naming the Poland
// map file out of the geographic dictionary, after a numbered backup.
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "installer/installer_actions.h"

namespace dorvan {

Status UnregisterMapSet(const char *targetDir, CopyRule rule, DataCheck check)
{
    Dictionary dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok())
        return status;
    WholeFile &file = dictionary.file;
    // Named outside any record, the map file would still be found by every
    // query after the records naming it were cut: nothing is cut then.
    if (check == DataCheck::Understood && NamedOutsideRecords(file.begin(), file.length, MapFileName))
        return StatusOf(StatusCode::NotRecords, FileRole::Dictionary);

    // Always, before the content is examined, so a copy is left even when
    // nothing will be removed; a rollback needs it only when something is.
    if (rule == CopyRule::Required) {
        RecordSpan first;
        if (!RecordScan(MapFileName, NameMatching::Exact).NextMatchingRecord(file.begin(), file.length, 0, first))
            rule = CopyRule::BestEffort;
    }
    if (!(status = BackUpBeforeEdit(dictionary, rule)).Ok())
        return status;

    bool removed = false;
    return RemoveRecordsFromDictionary(dictionary.folder, file, MapFileName, NameMatching::Exact, removed);
}

}  // namespace dorvan
