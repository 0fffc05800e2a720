// Registers the map set: puts the entry "GeoExt.gxt" shipped with the setup
// into the geographic dictionary, once, after a numbered backup.
#include <cstring>

#include "bytes/byte_search.h"
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/numbered_copies.h"
#include "installer/installer_actions.h"

namespace dorvan {

namespace {

using EntrySearch = SubstringSearch<ExactBytes>;

// Whether the records naming the map file are exactly the entry, once: its
// bytes occur once, and no record naming the map file lies outside them.
bool RegisteredExactly(const WholeFile &dictionary, const WholeFile &entry)
{
    const EntrySearch search(entry.begin(), static_cast<size_t>(entry.length));
    const size_t at = search.FindIn(dictionary.begin(), static_cast<size_t>(dictionary.length));
    if (at == EntrySearch::NotFound)
        return false;
    const int32_t from = static_cast<int32_t>(at), to = from + entry.length;
    if (search.FindIn(dictionary.begin() + to, static_cast<size_t>(dictionary.length - to)) != EntrySearch::NotFound)
        return false;
    const RecordScan scan(MapFileName, NameMatching::Exact);
    RecordSpan record;
    for (int32_t next = 0; scan.NextMatchingRecord(dictionary.begin(), dictionary.length, next, record);
         next = record.coveredEnd) {
        if (record.tag < from || record.end > to)
            return false;
    }
    return true;
}

// The dictionary as a registration over earlier versions leaves it: without
// the entry's earlier copies and without the records naming the map file,
// the entry once at its end. Built apart, so that the edit can journal the
// old bytes from the first one that changes.
Status RegisteredBytes(const WholeFile &dictionary, const WholeFile &entry, platform::HeapBlock &block,
                       int32_t &length)
{
    if (int64_t{dictionary.length} + entry.length > INT32_MAX)
        return StatusOf(StatusCode::WriteFailed);
    block = platform::AllocateBlock(static_cast<size_t>(dictionary.length) + static_cast<size_t>(entry.length));
    if (!block)
        return StatusOf(StatusCode::NoMemory);
    const EntrySearch search(entry.begin(), static_cast<size_t>(entry.length));
    length = 0;
    for (int32_t from = 0; from < dictionary.length;) {
        size_t at = search.FindIn(dictionary.begin() + from, static_cast<size_t>(dictionary.length - from));
        const int32_t kept = at == EntrySearch::NotFound ? dictionary.length - from : static_cast<int32_t>(at);
        std::memcpy(block.get() + length, dictionary.begin() + from, static_cast<size_t>(kept));
        length += kept;
        from += kept + (at == EntrySearch::NotFound ? 0 : entry.length);
    }
    length = RemoveMatchingRecords(block.get(), length, MapFileName, NameMatching::Exact).newLength;
    std::memcpy(block.get() + length, entry.begin(), static_cast<size_t>(entry.length));
    length += entry.length;
    return Success;
}

}  // namespace

Status BackUpBeforeEdit(const Dictionary &dictionary, CopyRule rule)
{
    const Status copied = MakeNumberedBackup(dictionary.folder, dictionary.file.begin(), dictionary.file.length);
    // A copy that cannot be made (a full disk, no rights) stops only an
    // edit that a rollback will need it for; another account's copy in
    // progress stops every edit, as it did before the edit began.
    if (copied.code == StatusCode::WrittenByOther)
        return copied;
    if (rule == CopyRule::BestEffort || copied.Ok())
        return Success;
    return StatusOf(StatusCode::WriteFailed, FileRole::NumberedCopy);
}

Status RegisterMapSet(const char *sourceDir, const char *targetDir, Registration how)
{
    Dictionary dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok())
        return status;

    // An entry path too long to open is reported as a file that cannot be
    // opened.
    ComposedPath entryPath;
    if (!ComposePath(entryPath, sourceDir, EntryFileName))
        return StatusOf(StatusCode::CannotOpen, FileRole::Entry);
    WholeFile entry;
    if (!(status = ReadWholeFile(entryPath.text, platform::FileMode::ReadOnly, FileRole::Entry, entry)).Ok())
        return status;
    entry.handle.Close();
    if (how.check == DataCheck::Understood && !IsWholeRecordsNaming(entry.begin(), entry.length, MapFileName))
        return StatusOf(StatusCode::NotRecords, FileRole::Entry);

    WholeFile &file = dictionary.file;
    if (how.earlier == EarlierEntries::Kept) {
        // Already registered when the entry's raw bytes occur anywhere.
        if (ContainsBytes(file.begin(), file.length, entry.begin(), entry.length))
            return Success;
        if (!(status = BackUpBeforeEdit(dictionary, how.copy)).Ok())
            return status;
        // A failed append leaves no part of the entry behind.
        return AppendToDictionary(dictionary.folder, file, entry.begin(), entry.length);
    }
    // An earlier version's records give way to this one's in one edit.
    if (entry.length == 0 || RegisteredExactly(file, entry))
        return Success;
    platform::HeapBlock registered;
    int32_t length = 0;
    if (!(status = RegisteredBytes(file, entry, registered, length)).Ok())
        return Concerning(status, FileRole::Dictionary);
    if (!(status = BackUpBeforeEdit(dictionary, how.copy)).Ok())
        return status;
    return ReplaceDictionary(dictionary.folder, file, registered.get(), length);
}

}  // namespace dorvan
