// The dictionary as an installer saw it before a change, and the way back
// to it, for Windows Installer's rollback.
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/journal_format.h"
#include "dictionary/numbered_copies.h"
#include "installer/installer_actions.h"

namespace dorvan {

namespace {

bool Matches(const WholeFile &file, const DictionarySnapshot &snapshot)
{
    return file.length == snapshot.length && JournalChecksumOf(file.begin(), file.length) == snapshot.checksum;
}

// How far past the expected copy's number the rollback looks for another
// copy with the same bytes, and how many free names in a row end the
// search: a copy taken since fills the first free name.
constexpr uint32_t CopiesLookedAt = 64;

}  // namespace

Status TakeDictionarySnapshot(const char *targetDir, DictionarySnapshot &snapshot)
{
    Dictionary dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadOnly, dictionary);
    if (!status.Ok())
        return status;
    snapshot.length = dictionary.file.length;
    snapshot.checksum = JournalChecksumOf(dictionary.file.begin(), dictionary.file.length);
    snapshot.copyNumber = FirstFreeCopyNumber(dictionary.path.text);
    return Success;
}

Status RestoreDictionarySnapshot(const char *targetDir, const DictionarySnapshot &snapshot)
{
    Dictionary dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok() || Matches(dictionary.file, snapshot))
        return status;
    // The copy the change left first, then every other from the first on.
    WholeFile copy;
    auto holdsTheBytes = [&](uint32_t number) {
        char name[PathBufferSize];
        return NumberedCopyName(dictionary.path.text, number, name) && platform::FileExists(name) &&
               ReadWholeFile(name, platform::FileMode::CopyOnly, FileRole::NumberedCopy, copy).Ok() &&
               Matches(copy, snapshot);
    };
    bool found = holdsTheBytes(snapshot.copyNumber);
    // A copy takes the first free name, so the search ends where that many
    // names in a row are free, or past the expected number by that many,
    // whichever comes first: it never runs on towards the largest number.
    const uint32_t last = snapshot.copyNumber < UINT32_MAX - CopiesLookedAt ? snapshot.copyNumber + CopiesLookedAt
                                                                           : UINT32_MAX - 1;
    for (uint32_t number = 0, free = 0; !found && number <= last && free < CopiesLookedAt; ++number) {
        char name[PathBufferSize];
        const bool taken = NumberedCopyName(dictionary.path.text, number, name) && platform::FileExists(name);
        free = taken ? 0 : free + 1;
        found = taken && number != snapshot.copyNumber && holdsTheBytes(number);
    }
    if (found) {
        copy.handle.Close();
        return ReplaceDictionary(dictionary.path.text, dictionary.file, copy.begin(), copy.length);
    }
    return StatusOf(StatusCode::CopyMissing, FileRole::NumberedCopy);
}

}  // namespace dorvan
