#include "dictionary/dictionary_journal.h"

#include <cstring>
#include <utility>

#include "dictionary/journal_format.h"

namespace dorvan {

namespace {

using platform::SeekOrigin;

// Saved bytes are checked and copied back through a buffer on the stack,
// so that putting the old bytes back never needs memory that may be gone.
constexpr int32_t ChunkSize = 16384;

// The dictionary's path with the journal's suffix; false when that does
// not fit a path buffer, and the dictionary is then edited without one.
bool JournalPathOf(char (&out)[PathBufferSize], const char *dictionaryPath)
{
    const size_t length = std::strlen(dictionaryPath);
    if (length + sizeof JournalSuffix > PathBufferSize)
        return false;
    std::memcpy(out, dictionaryPath, length);
    std::memcpy(out + length, JournalSuffix, sizeof JournalSuffix);
    return true;
}

// Reads the journal's header and checks its saved bytes against it.
bool ReadCompleteJournal(int journal, JournalHeader &header)
{
    uint8_t head[JournalHeaderSize];
    const int64_t length = platform::FileLength(journal);
    if (length < JournalHeaderSize || platform::FileSeek(journal, 0, SeekOrigin::Start) != 0 ||
        ReadFully(journal, head, JournalHeaderSize) != JournalHeaderSize || !DecodeJournalHeader(head, header) ||
        length != JournalHeaderSize + int64_t{header.SavedLength()})
        return false;
    JournalChecksum sum;
    uint8_t chunk[ChunkSize];
    for (int32_t left = header.SavedLength(); left > 0;) {
        const int32_t count = left < ChunkSize ? left : ChunkSize;
        if (ReadFully(journal, chunk, count) != count)
            return false;
        sum.Add(chunk, count);
        left -= count;
    }
    return sum.Value() == header.savedSum;
}

// Copies the saved bytes back over the dictionary, cuts it to its old
// length and makes it durable.
bool CopySavedBytesBack(int journal, int dictionary, const JournalHeader &header)
{
    if (platform::FileSeek(journal, JournalHeaderSize, SeekOrigin::Start) != JournalHeaderSize ||
        platform::FileSeek(dictionary, header.firstChanged, SeekOrigin::Start) != header.firstChanged)
        return false;
    uint8_t chunk[ChunkSize];
    for (int32_t left = header.SavedLength(); left > 0;) {
        const int32_t count = left < ChunkSize ? left : ChunkSize;
        if (ReadFully(journal, chunk, count) != count || WriteFully(dictionary, chunk, count) != count)
            return false;
        left -= count;
    }
    return platform::FileResize(dictionary, header.oldLength) && platform::FileSync(dictionary);
}

// Whether the dictionary still holds the kept bytes the journal was
// written beside. They never change in an edit, so a dictionary without
// them was replaced since (a copy put back by hand, say), and the journal
// is no longer its own.
bool KeepsPrefix(int dictionary, const JournalHeader &header)
{
    uint8_t window[JournalPrefixWindow];
    const int32_t start = JournalPrefixStart(header.firstChanged), count = header.firstChanged - start;
    return platform::FileLength(dictionary) >= header.firstChanged &&
           platform::FileSeek(dictionary, start, SeekOrigin::Start) == start &&
           ReadFully(dictionary, window, count) == count && JournalChecksumOf(window, count) == header.prefixSum;
}

// Removes the journal or, where it cannot be removed, empties it, which
// makes it incomplete. False when a complete journal may still be there.
bool ClearJournal(const char *journalPath)
{
    if (platform::FileRemove(journalPath))
        return true;
    FileHandle journal(platform::FileOpen(journalPath, platform::FileMode::ReadWrite));
    return journal.IsOpen() && platform::FileResize(journal.Get(), 0) && platform::FileSync(journal.Get());
}

bool WriteHeaderAt0(int journal, const uint8_t (&head)[JournalHeaderSize])
{
    return platform::FileSeek(journal, 0, SeekOrigin::Start) == 0 && WriteFully(journal, head, JournalHeaderSize) == JournalHeaderSize;
}

// One edit of an open dictionary of `oldLength` bytes, in which the bytes
// from `firstChanged` on are replaced.
struct GuardedEdit {
    const char *dictionaryPath;
    int32_t oldLength;
    int32_t firstChanged;
    char journalPath[PathBufferSize];
    FileHandle journal;        // open while the edit is guarded
    uint8_t head[JournalHeaderSize];  // the journal's header, as written
};

// Saves the bytes from the first changed offset on (`oldBytes` holds all
// of the dictionary) in the journal and makes it durable. Where no journal
// can be created, for want of the right to create files in the folder, the
// edit goes ahead unguarded, as it always could. False when the edit must
// not go ahead: another process's edit holds the journal, or the journal
// was created but could not be made whole and durable (a full disk, a
// quota, a failing device), since the dictionary's own writes would then
// fail half-way with nothing to put the old bytes back from.
bool BeginEdit(GuardedEdit &edit, const uint8_t *oldBytes)
{
    if (!JournalPathOf(edit.journalPath, edit.dictionaryPath)) {
        edit.journalPath[0] = '\0';
        return true;
    }
    platform::OpenFailure failure = platform::OpenFailure::None;
    FileHandle journal(platform::FileOpen(edit.journalPath, platform::FileMode::Journal, &failure));
    if (!journal.IsOpen())
        return failure != platform::OpenFailure::InUse;  // held by another process's edit: not now
    const int32_t prefixStart = JournalPrefixStart(edit.firstChanged);
    const JournalHeader header{edit.oldLength, edit.firstChanged,
                               JournalChecksumOf(oldBytes + edit.firstChanged, edit.oldLength - edit.firstChanged),
                               JournalChecksumOf(oldBytes + prefixStart, edit.firstChanged - prefixStart)};
    EncodeJournalHeader(edit.head, header);
    if (platform::FileResize(journal.Get(), 0) && WriteFully(journal.Get(), edit.head, JournalHeaderSize) == JournalHeaderSize &&
        WriteFully(journal.Get(), oldBytes + edit.firstChanged, header.SavedLength()) == header.SavedLength() &&
        platform::FileSync(journal.Get()) && platform::FileSyncFolder(edit.journalPath)) {
        edit.journal = std::move(journal);
        return true;
    }
    // Left behind, a journal never made whole is discarded by the next call.
    journal.Close();
    ClearJournal(edit.journalPath);
    return false;
}

// Makes a finished edit final: once the journal can no longer be rolled
// back, nothing takes the edit back. Its header is blanked through the
// handle still held and made durable, then the journal is removed. Where
// it can be neither blanked nor removed, the edit is undone now, as the
// next call would undo it, and false is returned. The journal is closed
// either way.
bool CommitEdit(GuardedEdit &edit)
{
    if (!edit.journal.IsOpen())
        return true;
    static const uint8_t blank[JournalHeaderSize] = {};
    const int journal = edit.journal.Get();
    const bool blanked = WriteHeaderAt0(journal, blank);
    const bool invalidated = blanked && platform::FileSync(journal);
    // Blanked but not durably, the journal gets its header back so that
    // what the next call finds (and what a crash leaves) is the journal
    // this edit answers for.
    const bool whole = !blanked || (!invalidated && WriteHeaderAt0(journal, edit.head));
    edit.journal.Close();
    if (platform::FileRemove(edit.journalPath)) {
        platform::FileSyncFolder(edit.journalPath);
        return true;
    }
    // An incomplete journal left behind is discarded by the next call.
    if (!whole)
        return true;
    RollBackInterruptedEdit(edit.dictionaryPath);
    return false;
}

// Puts the old bytes back through `dictionary`: from the journal, or, for
// an unguarded append, by cutting the dictionary to its old length. An
// unguarded rewrite cannot be put back.
bool PutOldBytesBack(GuardedEdit &edit, int dictionary)
{
    JournalHeader header;
    if (edit.journal.IsOpen())
        return ReadCompleteJournal(edit.journal.Get(), header) &&
               CopySavedBytesBack(edit.journal.Get(), dictionary, header);
    return edit.firstChanged == edit.oldLength && platform::FileResize(dictionary, edit.oldLength);
}

bool WriteNewBytes(const GuardedEdit &edit, int dictionary, const uint8_t *tail, int32_t tailLength)
{
    const int32_t newLength = edit.firstChanged + tailLength;
    return platform::FileSeek(dictionary, edit.firstChanged, SeekOrigin::Start) == edit.firstChanged &&
           WriteFully(dictionary, tail, tailLength) == tailLength &&
           (newLength >= edit.oldLength || platform::FileResize(dictionary, newLength)) &&
           platform::FileSync(dictionary);
}

// Writes `tail` at the first changed offset, cuts the dictionary after it,
// makes it durable and closes it; then clears the journal. On any failure,
// a failing close included, the old bytes are put back and false is
// returned. The dictionary is closed either way.
bool FinishEdit(GuardedEdit &edit, FileHandle &dictionary, const uint8_t *tail, int32_t tailLength)
{
    const bool written = WriteNewBytes(edit, dictionary.Get(), tail, tailLength);
    bool restored = !written && PutOldBytesBack(edit, dictionary.Get());
    const bool closed = dictionary.Close();
    if (written && closed)
        return CommitEdit(edit);
    // A close that fails may have lost what was written; the old bytes go
    // back through a new handle.
    if (!restored) {
        FileHandle reopened(platform::FileOpen(edit.dictionaryPath, platform::FileMode::ReadWrite));
        restored = reopened.IsOpen() && PutOldBytesBack(edit, reopened.Get()) && reopened.Close();
    }
    const bool guarded = edit.journal.IsOpen();
    edit.journal.Close();
    // A journal whose bytes could not be put back stays for the next call.
    if (guarded && restored)
        ClearJournal(edit.journalPath);
    return false;
}

}  // namespace

JournalState RollBackInterruptedEdit(const char *dictionaryPath)
{
    char journalPath[PathBufferSize];
    if (!JournalPathOf(journalPath, dictionaryPath) || !platform::FileExists(journalPath))
        return JournalState::Clear;
    {
        // Held by another process, the journal belongs to an edit still
        // running, not to an interrupted one; unreadable, it may describe
        // one. Either way the dictionary cannot be trusted now.
        FileHandle journal(platform::FileOpen(journalPath, platform::FileMode::Journal));
        if (!journal.IsOpen())
            return JournalState::Hot;
        JournalHeader header;
        if (!ReadCompleteJournal(journal.Get(), header)) {
            journal.Close();
            ClearJournal(journalPath);
            return JournalState::Clear;
        }
        FileHandle dictionary(platform::FileOpen(dictionaryPath, platform::FileMode::ReadWrite));
        if (!dictionary.IsOpen())
            return JournalState::Hot;
        if (!KeepsPrefix(dictionary.Get(), header)) {
            dictionary.Close();
            journal.Close();
            ClearJournal(journalPath);
            return JournalState::Clear;
        }
        if (!CopySavedBytesBack(journal.Get(), dictionary.Get(), header) || !dictionary.Close())
            return JournalState::Hot;
    }
    return ClearJournal(journalPath) ? JournalState::Clear : JournalState::Left;
}

bool AppendToDictionary(const char *dictionaryPath, WholeFile &dictionary, const uint8_t *bytes, int32_t length)
{
    GuardedEdit edit{dictionaryPath, dictionary.length, dictionary.length, {}, {}, {}};
    if (!BeginEdit(edit, dictionary.begin())) {
        dictionary.handle.Close();
        return false;
    }
    return FinishEdit(edit, dictionary.handle, bytes, length);
}

RemovalOutcome RemoveRecordsFromDictionary(const char *dictionaryPath, WholeFile &dictionary, const char *name,
                                           NameMatching matching)
{
    uint8_t *block = dictionary.block.get();
    const RecordScan scan(name, matching);
    RecordSpan first;
    if (!scan.NextMatchingRecord(block, dictionary.length, 0, first)) {
        dictionary.handle.Close();
        return RemovalOutcome::NothingToRemove;
    }
    // The journal takes the old bytes before the block is cut in place.
    GuardedEdit edit{dictionaryPath, dictionary.length, first.tag, {}, {}, {}};
    if (!BeginEdit(edit, block)) {
        dictionary.handle.Close();
        return RemovalOutcome::Failed;
    }
    const int32_t newLength = RemoveMatchingRecordsFrom(block, dictionary.length, first, scan);
    return FinishEdit(edit, dictionary.handle, block + first.tag, newLength - first.tag) ? RemovalOutcome::Removed
                                                                                       : RemovalOutcome::Failed;
}

}  // namespace dorvan
