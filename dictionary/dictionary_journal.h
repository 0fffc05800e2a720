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
// Every edit runs with the dictionary held exclusive (dictionary_lock.h),
// so a journal that a call holding the dictionary finds was left by a
// crash. The edit holds its journal open throughout too, so that an older
// version of the library, which takes no lock on the dictionary, takes it
// for an edit running now and neither reads the dictionary half-edited
// nor edits it at the same time.
//
// The journal is no backup: it exists only while an edit runs. The numbered
// copies are the user's; no numbered name can ever be the journal's.
#pragma once

#include <cstdint>

#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_folder.h"
#include "dictionary/dictionary_records.h"

namespace dorvan {

// Rolls back the edit that a journal beside the dictionary describes,
// before the dictionary is opened with `mode`. A journal that is cut short
// or fails its checksum was never complete, so the dictionary was not
// touched yet: it is discarded. So is a journal whose dictionary no longer
// holds the bytes the edit kept: it was replaced since, and the dictionary
// as it is wins. JournalStuck when the dictionary may not be used now: the
// journal cannot be read or rolled back (or another process's edit holds
// it), or, before an edit, it was rolled back but could not be cleared, so
// that it would undo the edit on a later call. WrittenByOther, leaving it
// as it is, for a journal that another account may have written: it is
// neither rolled back nor discarded, and the dictionary is not used.
Status RollBackInterruptedEdit(const DictionaryFolder &folder, platform::FileMode mode);

// Whether a journal lies beside the dictionary.
bool JournalLeftBeside(const DictionaryFolder &folder);

// What the next call will do with a journal found beside the dictionary,
// told without changing anything, for support staff.
enum class JournalFinding {
    None,        // no journal
    InUse,       // another process's edit holds it: it is running now
    Unreadable,  // it cannot be read: every call stops until it can
    Incomplete,  // never made whole, so nothing was changed: it is discarded
    Replaced,    // the dictionary was replaced since: it is discarded
    RollsBack,   // an interrupted edit: the old bytes are put back
    Untrusted,   // written by another account, or with other names: every
                 // call stops until it is taken away
};

struct JournalReport {
    JournalFinding finding;
    int32_t oldLength;     // with RollsBack: the dictionary's length before the edit
    int32_t firstChanged;  // and the first byte it changed
};

JournalReport InspectJournal(const DictionaryFolder &folder);

// Appends `length` bytes to the dictionary read whole in `dictionary`, and
// closes it. WriteFailed, naming the dictionary, when the journal could not
// be made whole first, not every byte was appended, the dictionary could
// not be made durable or closed, or the journal could not be voided after;
// the dictionary then holds its old bytes, or will once the next call has
// rolled it back.
Status AppendToDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const uint8_t *bytes, int32_t length);

// Replaces the whole content of the dictionary read whole in `dictionary`
// with `length` bytes, and closes it: only the bytes from the first that
// differs on are journaled and written. Fails as an append fails, with the
// same guarantee.
Status ReplaceDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const uint8_t *bytes, int32_t length);

// Cuts every record in which `name` occurs (matched as `matching` says) out
// of the dictionary read whole in `dictionary`, and closes it; `removed`
// tells whether any record matched. Nothing is written when none does.
// Fails as an append fails, with the same guarantee, except where no
// journal could be created at all and the rewrite failed half-way.
Status RemoveRecordsFromDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const char *name,
                                   NameMatching matching, bool &removed);

}  // namespace dorvan
