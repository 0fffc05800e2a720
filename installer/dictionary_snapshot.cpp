// The dictionary as an installer saw it before a change, and the way back
// to it, for Windows Installer's rollback.
#include <cstring>

#include "dictionary/copy_restore.h"
#include "dictionary/dictionary_access.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/numbered_copies.h"
#include "installer/installer_actions.h"

namespace dorvan {

namespace {

bool Matches(const WholeFile &file, const DictionarySnapshot &snapshot)
{
    if (file.length != snapshot.length || snapshot.digestBytes < ShortDigestBytes || snapshot.digestBytes > DigestSize)
        return false;
    const Digest digest = Sha256(file.begin(), static_cast<size_t>(file.length));
    return std::memcmp(digest.bytes, snapshot.digest.bytes, snapshot.digestBytes) == 0;
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
    snapshot.digest = Sha256(dictionary.file.begin(), static_cast<size_t>(dictionary.file.length));
    snapshot.digestBytes = DigestSize;
    snapshot.copyNumber = FirstFreeCopyNumber(dictionary.folder);
    return Success;
}

Status RestoreDictionarySnapshot(const char *targetDir, const DictionarySnapshot &snapshot)
{
    Dictionary dictionary;
    Status status = ReadDictionary(targetDir, platform::FileMode::ReadWrite, dictionary);
    if (!status.Ok() || Matches(dictionary.file, snapshot))
        return status;
    // The copy the change left first, then every other from the first on;
    // one that another account may have written is passed over.
    WholeFile copy;
    auto holdsTheBytes = [&](uint32_t number) {
        return ReadTrustedCopy(dictionary.folder, number, copy).Ok() && Matches(copy, snapshot);
    };
    bool found = holdsTheBytes(snapshot.copyNumber);
    // A copy takes the first free name, so the search ends where that many
    // names in a row are free, or past the expected number by that many,
    // whichever comes first: it never runs on towards the largest number.
    const uint32_t last = snapshot.copyNumber < UINT32_MAX - CopiesLookedAt ? snapshot.copyNumber + CopiesLookedAt
                                                                           : UINT32_MAX - 1;
    for (uint32_t number = 0, free = 0; !found && number <= last && free < CopiesLookedAt; ++number) {
        char name[PathBufferSize];
        const bool taken =
            NumberedCopyName(DictionaryFileName, number, name) && platform::FileExists(dictionary.folder.Get(), name);
        free = taken ? 0 : free + 1;
        found = taken && number != snapshot.copyNumber && holdsTheBytes(number);
    }
    if (found)
        return ReplaceDictionary(dictionary.folder, dictionary.file, copy.begin(), copy.length);
    return StatusOf(StatusCode::CopyMissing, FileRole::NumberedCopy);
}

}  // namespace dorvan
