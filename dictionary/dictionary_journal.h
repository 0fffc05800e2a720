// The dictionary's edits in place, kept whole by a rollback journal.
//
// The dictionary is the host's catalogue of every map set it has, so an
// edit must leave it either as it was or as it is meant to be, even when a
// write fails or the process or the system stops half-way. Before the first
// byte of "Geodict.dct" changes, the bytes the edit will change are saved in
// "Geodict.dct-journal" beside it and made durable. The edit then goes
// through the dictionary's own handle and is made durable; only then is the
// journal voided (made durable too) and removed, and only then does the
// edit answer success, so that nothing takes a success back. A journal
// that cannot be made whole stops the edit before it starts. A complete
// journal that the next call finds means an edit was interrupted: its
// saved bytes put the dictionary back as it was before.
// The edit holds its journal open throughout, so that another process's
// call takes a journal in use for one left by a crash and neither reads
// the dictionary half-edited nor edits it at the same time.
//
// The journal is no backup: it exists only while an edit runs. The numbered
// copies are the user's; no numbered name can ever be the journal's.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_paths.h"
#include "dictionary/dictionary_records.h"

namespace dorvan {

// Appended to the dictionary's path; the host reads only "Geodict.dct".
constexpr char JournalSuffix[] = "-journal";

// What a call finds beside the dictionary before it reads it.
enum class JournalState {
    Clear,  // no interrupted edit: reads and edits go ahead
    Left,   // the dictionary holds its old bytes again, but the journal could
            // not be cleared: reads go ahead, edits do not (the journal would
            // undo them on a later call)
    Hot,    // an interrupted edit could not be rolled back (the dictionary or
            // the journal cannot be opened or written for it), or another
            // process's edit is running: the dictionary may hold neither its
            // old nor its new bytes, and nothing goes ahead
};

// Rolls back the edit that a journal beside the dictionary describes. A
// journal that is cut short or fails its checksum was never complete, so
// the dictionary was not touched yet: it is discarded. So is a journal
// whose dictionary no longer holds the bytes the edit kept: it was
// replaced since, and the dictionary as it is wins.
JournalState RollBackInterruptedEdit(const char *dictionaryPath);

// Appends `length` bytes to the dictionary read whole in `dictionary`, and
// closes it. False when the journal could not be made whole first, not
// every byte was appended, the dictionary could not be made durable or
// closed, or the journal could not be voided after; the dictionary then
// holds its old bytes, or will once the next call has rolled it back.
bool AppendToDictionary(const char *dictionaryPath, WholeFile &dictionary, const uint8_t *bytes, int32_t length);

enum class RemovalOutcome { NothingToRemove, Removed, Failed };

// Cuts every record in which `name` occurs (matched as `matching` says)
// out of the dictionary read whole in `dictionary`, and closes it. Nothing is written
// when no record matches. Failed as an append fails, with the same
// guarantee, except where no journal could be created at all and the
// rewrite failed half-way.
RemovalOutcome RemoveRecordsFromDictionary(const char *dictionaryPath, WholeFile &dictionary, const char *name,
                                           NameMatching matching);

}  // namespace dorvan
