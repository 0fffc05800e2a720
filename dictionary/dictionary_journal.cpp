#include "dictionary/dictionary_journal.h"

#include <utility>

#include "dictionary/dictionary_paths.h"
#include "dictionary/journal_format.h"

namespace dorvan {

namespace {

using platform::FileHandle;
using platform::FileMode;

// Saved bytes are checked and copied back through a buffer on the stack,
// so that putting the old bytes back never needs memory that may be gone.
constexpr int32_t ChunkSize = 16384;

constexpr Status WriteFailure = StatusOf(StatusCode::WriteFailed);

// Reads the journal's header and checks its saved bytes against it:
// `complete` is false for a journal cut short or not agreeing with itself.
// A read that fails is no answer about the journal: it is the status.
Status ReadCompleteJournal(int journal, JournalHeader &header, bool &complete)
{
    complete = false;
    int64_t length = 0;
    uint8_t head[JournalHeaderSize];
    Status status = platform::FileLength(journal, &length);
    if (!status.Ok() || length < JournalHeaderSize)
        return status;
    if (!(status = platform::FileRead(journal, 0, head, JournalHeaderSize)).Ok())
        return status;
    if (!DecodeJournalHeader(head, header) || length != JournalHeaderSize + int64_t{header.SavedLength()})
        return Success;
    JournalChecksum sum;
    uint8_t chunk[ChunkSize];
    for (int32_t done = 0; done < header.SavedLength();) {
        const int32_t count = header.SavedLength() - done < ChunkSize ? header.SavedLength() - done : ChunkSize;
        if (!(status = platform::FileRead(journal, JournalHeaderSize + done, chunk, count)).Ok())
            return status;
        sum.Add(chunk, count);
        done += count;
    }
    complete = sum.Value(header.version) == header.savedSum;
    return Success;
}

// Copies the saved bytes back over the dictionary, cuts it to its old
// length and makes it durable.
Status CopySavedBytesBack(int journal, int dictionary, const JournalHeader &header)
{
    Status status;
    uint8_t chunk[ChunkSize];
    for (int32_t done = 0; done < header.SavedLength();) {
        const int32_t count = header.SavedLength() - done < ChunkSize ? header.SavedLength() - done : ChunkSize;
        if (!(status = platform::FileRead(journal, JournalHeaderSize + done, chunk, count)).Ok() ||
            !(status = platform::FileWrite(dictionary, header.firstChanged + done, chunk, count)).Ok())
            return status;
        done += count;
    }
    if (!(status = platform::FileResize(dictionary, header.oldLength)).Ok())
        return status;
    return platform::FileSync(dictionary);
}

// Whether the dictionary still holds the kept bytes the journal was
// written beside. They never change in an edit, so a dictionary without
// them was replaced since (a copy put back by hand, say), and the journal
// is no longer its own.
Status KeepsPrefix(int dictionary, const JournalHeader &header, bool &keeps)
{
    keeps = false;
    int64_t length = 0;
    Status status = platform::FileLength(dictionary, &length);
    if (!status.Ok() || length < header.firstChanged)
        return status;
    uint8_t window[JournalPrefixWindow];
    const int32_t start = JournalPrefixStart(header.firstChanged), count = header.firstChanged - start;
    if (!(status = platform::FileRead(dictionary, start, window, count)).Ok())
        return status;
    keeps = JournalChecksumOf(window, count, header.version) == header.prefixSum;
    return Success;
}

// Removes the journal or, where it cannot be removed, empties it, which
// makes it incomplete. A failure means a complete journal may still be
// there.
Status ClearJournal(const DictionaryFolder &folder)
{
    if (platform::FileRemove(folder.Get(), JournalName).Ok())
        return Success;
    FileHandle journal;
    Status status = journal.Open(folder.Get(), JournalName, FileMode::ReadWrite);
    if (status.Ok())
        status = platform::FileResize(journal.Get(), 0);
    if (status.Ok())
        status = platform::FileSync(journal.Get());
    return status;
}

// One edit of an open dictionary of `oldLength` bytes, in which the bytes
// from `firstChanged` on are replaced.
struct GuardedEdit {
    const DictionaryFolder &folder;
    int32_t oldLength;
    int32_t firstChanged;
    FileHandle journal;                // open while the edit is guarded
    uint8_t head[JournalHeaderSize];  // the journal's header, as written
};

// Saves the bytes from the first changed offset on (`oldBytes` holds all
// of the dictionary) in the journal and makes it durable. Only where the
// folder denies creating the journal (no rights there, while the
// dictionary itself is writable) does the edit go ahead unguarded, as it
// always could. Any other failure means the edit must not go ahead:
// another process's edit holds the journal, or it could not be created or
// made whole and durable (a full disk, a quota, too many open files, a
// failing device), since the dictionary's own writes would then fail
// half-way with nothing to put the old bytes back from.
Status BeginEdit(GuardedEdit &edit, const uint8_t *oldBytes)
{
    FileHandle journal;
    Status status = journal.Open(edit.folder.Get(), JournalName, FileMode::Journal);
    if (!status.Ok())
        return status.code == StatusCode::NotPermitted ? Success : status;
    const int32_t prefixStart = JournalPrefixStart(edit.firstChanged);
    const JournalHeader header{edit.oldLength, edit.firstChanged,
                               JournalChecksumOf(oldBytes + edit.firstChanged, edit.oldLength - edit.firstChanged),
                               JournalChecksumOf(oldBytes + prefixStart, edit.firstChanged - prefixStart)};
    EncodeJournalHeader(edit.head, header);
    if ((status = platform::FileResize(journal.Get(), 0)).Ok() &&
        (status = platform::FileWrite(journal.Get(), 0, edit.head, JournalHeaderSize)).Ok() &&
        (status = platform::FileWrite(journal.Get(), JournalHeaderSize, oldBytes + edit.firstChanged,
                                      header.SavedLength()))
            .Ok() &&
        (status = platform::FileSync(journal.Get())).Ok() &&
        (status = platform::FileSyncFolder(edit.folder.Get())).Ok()) {
        edit.journal = std::move(journal);
        return Success;
    }
    // Left behind, a journal never made whole is discarded by the next call.
    journal.Close();
    ClearJournal(edit.folder);
    return status;
}

// Puts the old bytes back through `dictionary`: from the journal, or, for
// an unguarded append, by cutting the dictionary to its old length. An
// unguarded rewrite cannot be put back.
Status PutOldBytesBack(GuardedEdit &edit, int dictionary)
{
    if (!edit.journal.IsOpen())
        return edit.firstChanged == edit.oldLength ? platform::FileResize(dictionary, edit.oldLength) : WriteFailure;
    JournalHeader header;
    bool complete = false;
    Status status = ReadCompleteJournal(edit.journal.Get(), header, complete);
    if (!status.Ok())
        return status;
    return complete ? CopySavedBytesBack(edit.journal.Get(), dictionary, header) : WriteFailure;
}

Status WriteNewBytes(const GuardedEdit &edit, int dictionary, const uint8_t *tail, int32_t tailLength)
{
    // Wider than a length: a write past the 32-bit range has already failed.
    const int64_t newLength = int64_t{edit.firstChanged} + tailLength;
    Status status = platform::FileWrite(dictionary, edit.firstChanged, tail, tailLength);
    if (status.Ok() && newLength < edit.oldLength)
        status = platform::FileResize(dictionary, static_cast<int32_t>(newLength));
    if (status.Ok())
        status = platform::FileSync(dictionary);
    return status;
}

// Makes a finished edit final: once the journal can no longer be rolled
// back, nothing takes the edit back. Its header is voided through the
// handle still held and made durable, then the journal is removed. Where
// it can be neither voided nor removed, the edit is undone now, as the
// next call would undo it, and the edit fails. The journal is closed
// either way.
Status CommitEdit(GuardedEdit &edit)
{
    if (!edit.journal.IsOpen())
        return Success;
    // One byte, so that the write is done whole or not at all: no header
    // starts with it, and a journal is never left half voided.
    static const uint8_t voidByte = 0;
    const int journal = edit.journal.Get();
    const bool blanked = platform::FileWrite(journal, 0, &voidByte, 1).Ok();
    const bool voided = blanked && platform::FileSync(journal).Ok();
    // Voided but not durably, the journal gets its first byte back so that
    // what the next call finds (and what a crash leaves) is the journal
    // this edit answers for.
    const bool whole = !blanked || (!voided && platform::FileWrite(journal, 0, edit.head, 1).Ok());
    edit.journal.Close();
    if (platform::FileRemove(edit.folder.Get(), JournalName).Ok()) {
        platform::FileSyncFolder(edit.folder.Get());
        return Success;
    }
    // An incomplete journal left behind is discarded by the next call.
    if (!whole)
        return Success;
    RollBackInterruptedEdit(edit.folder, FileMode::ReadWrite);
    return WriteFailure;
}

// Writes `tail` at the first changed offset, cuts the dictionary after it,
// makes it durable and closes it; then commits. On any failure, a failing
// close included, the old bytes are put back and the edit fails. The
// dictionary is closed either way.
Status FinishEdit(GuardedEdit &edit, FileHandle &dictionary, const uint8_t *tail, int32_t tailLength)
{
    const bool written = WriteNewBytes(edit, dictionary.Get(), tail, tailLength).Ok();
    bool restored = !written && PutOldBytesBack(edit, dictionary.Get()).Ok();
    const bool closed = dictionary.Close().Ok();
    if (written && closed)
        return CommitEdit(edit);
    // A close that fails may have lost what was written; the old bytes go
    // back through a new handle.
    if (!restored) {
        FileHandle reopened;
        restored = reopened.Open(edit.folder.Get(), DictionaryFileName, FileMode::ReadWrite).Ok() &&
                   PutOldBytesBack(edit, reopened.Get()).Ok() && reopened.Close().Ok();
    }
    const bool guarded = edit.journal.IsOpen();
    edit.journal.Close();
    // A journal whose bytes could not be put back stays for the next call.
    if (guarded && restored)
        ClearJournal(edit.folder);
    return WriteFailure;
}

// Any failure of an edit is one failure to write the dictionary, but for
// a journal that an older library's edit holds: the dictionary is in use;
// and for one with other names, which is left alone.
Status EditFailure(const Status &status)
{
    if (status.Ok())
        return Success;
    if (status.code == StatusCode::WrittenByOther)
        return Concerning(status, FileRole::Journal);
    return StatusOf(status.code == StatusCode::FileInUse ? StatusCode::FileInUse : StatusCode::WriteFailed,
                    FileRole::Dictionary);
}

// Replaces the dictionary's bytes from `firstChanged` on, guarded by the
// journal, and closes it. `makeTail(length)` gives the new bytes from there
// on; it runs only once the journal holds the old ones, so it may cut the
// dictionary's block in place.
template <typename MakeTail>
Status ReplaceTail(const DictionaryFolder &folder, WholeFile &dictionary, int32_t firstChanged, MakeTail makeTail)
{
    GuardedEdit edit{folder, dictionary.length, firstChanged, {}, {}};
    Status status = BeginEdit(edit, dictionary.begin());
    if (status.Ok()) {
        int32_t tailLength = 0;
        const uint8_t *tail = makeTail(tailLength);
        status = FinishEdit(edit, dictionary.handle, tail, tailLength);
    }
    dictionary.handle.Close();
    return EditFailure(status);
}

}  // namespace

bool JournalLeftBeside(const DictionaryFolder &folder)
{
    return platform::FileExists(folder.Get(), JournalName);
}

namespace {

// Opens the journal found beside the dictionary, once it is known whose
// it is: one that another account may have written would put that
// account's bytes in the dictionary.
Status OpenTrustedJournal(const DictionaryFolder &folder, FileHandle &journal)
{
    Status status = journal.Open(folder.Get(), JournalName, FileMode::Journal);
    if (status.Ok())
        status = platform::FileTrusted(journal.Get(), folder.lock.Get());
    return status;
}

}  // namespace

Status RollBackInterruptedEdit(const DictionaryFolder &folder, FileMode mode)
{
    const Status stuck = StatusOf(StatusCode::JournalStuck, FileRole::Journal);
    if (!JournalLeftBeside(folder))
        return Success;
    {
        // Held by another process (an older library's edit), the journal
        // belongs to an edit still running, not to an interrupted one;
        // unreadable, it may describe one. Either way the dictionary
        // cannot be trusted now.
        FileHandle journal;
        const Status opened = OpenTrustedJournal(folder, journal);
        if (opened.code == StatusCode::WrittenByOther)
            return Concerning(opened, FileRole::Journal);
        if (!opened.Ok())
            return stuck;
        JournalHeader header;
        bool complete = false, keeps = false;
        if (!ReadCompleteJournal(journal.Get(), header, complete).Ok())
            return stuck;
        FileHandle dictionary;
        if (complete) {
            if (!dictionary.Open(folder.Get(), DictionaryFileName, FileMode::ReadWrite).Ok() ||
                !KeepsPrefix(dictionary.Get(), header, keeps).Ok())
                return stuck;
        }
        // Never complete, or not this dictionary's: the dictionary as it
        // is stands, whether or not the journal can be cleared (an edit
        // writes its own journal over it).
        if (!complete || !keeps) {
            dictionary.Close();
            journal.Close();
            ClearJournal(folder);
            return Success;
        }
        if (!CopySavedBytesBack(journal.Get(), dictionary.Get(), header).Ok() || !dictionary.Close().Ok())
            return stuck;
    }
    // Left complete, the journal would undo an edit made now on a later
    // call; a query can still read the dictionary it put back.
    return ClearJournal(folder).Ok() || mode == FileMode::ReadOnly ? Success : stuck;
}

JournalReport InspectJournal(const DictionaryFolder &folder)
{
    JournalReport report{JournalFinding::None, 0, 0};
    if (!JournalLeftBeside(folder))
        return report;
    FileHandle journal, dictionary;
    const Status opened = OpenTrustedJournal(folder, journal);
    JournalHeader header;
    bool complete = false, keeps = false;
    if (opened.code == StatusCode::WrittenByOther)
        report.finding = JournalFinding::Untrusted;
    else if (!opened.Ok())
        report.finding = opened.code == StatusCode::FileInUse ? JournalFinding::InUse : JournalFinding::Unreadable;
    else if (!ReadCompleteJournal(journal.Get(), header, complete).Ok())
        report.finding = JournalFinding::Unreadable;
    else if (!complete)
        report.finding = JournalFinding::Incomplete;
    else if (!dictionary.Open(folder.Get(), DictionaryFileName, FileMode::ReadOnly).Ok() ||
             !KeepsPrefix(dictionary.Get(), header, keeps).Ok())
        report.finding = JournalFinding::Unreadable;
    else
        report = {keeps ? JournalFinding::RollsBack : JournalFinding::Replaced, header.oldLength,
                  header.firstChanged};
    return report;
}

Status AppendToDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const uint8_t *bytes, int32_t length)
{
    return ReplaceTail(folder, dictionary, dictionary.length, [&](int32_t &tailLength) {
        tailLength = length;
        return bytes;
    });
}

Status ReplaceDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const uint8_t *bytes, int32_t length)
{
    // Only what differs is journaled and written.
    int32_t same = 0;
    while (same < length && same < dictionary.length && bytes[same] == dictionary.begin()[same])
        ++same;
    return ReplaceTail(folder, dictionary, same, [&](int32_t &tailLength) {
        tailLength = length - same;
        return bytes + same;
    });
}

Status RemoveRecordsFromDictionary(const DictionaryFolder &folder, WholeFile &dictionary, const char *name,
                                   NameMatching matching, bool &removed)
{
    uint8_t *block = dictionary.block.get();
    const RecordScan scan(name, matching);
    RecordSpan first;
    removed = scan.NextMatchingRecord(block, dictionary.length, 0, first);
    if (!removed) {
        dictionary.handle.Close();
        return Success;
    }
    // The journal takes the old bytes before the block is cut in place.
    return ReplaceTail(folder, dictionary, first.tag, [&](int32_t &tailLength) {
        tailLength = RemoveMatchingRecordsFrom(block, dictionary.length, first, scan) - first.tag;
        return block + first.tag;
    });
}

}  // namespace dorvan
