// The installer actions' work, shared by the two libraries: Dorvan.dll
// shows a failure in a message box, DorvanSetup.dll hands it back with its
// text. Each answers the status that says what failed and the role of the
// file it concerns; the edge composes that file's path from the
// directories it was given.
#pragma once

#include "bytes/sha256.h"
#include <cstdint>

#include "dictionary/dictionary_access.h"
#include "platform/registry.h"

namespace dorvan {

// The host's map data directory into `targetDir` (a path buffer): from its
// registry record, or derived from the common-files directory, checked and
// recorded, its keys opened with `access` (Full for Dorvan.dll, Read for
// DorvanSetup.dll). HostNotFound, or RegistryKeyNotMade.
Status FindMapDataDir(char *targetDir, platform::KeyAccess access);

// Whether an edit may go ahead without its numbered copy.
enum class CopyRule {
    BestEffort,  // a copy that cannot be made (a full disk, no rights) does not stop it
    Required,    // Windows Installer's rollback puts the dictionary back from it
};

// What a registration does with an earlier version's records.
enum class EarlierEntries {
    Kept,      // Dorvan.dll: the entry is appended unless its bytes occur already
    Replaced,  // DorvanSetup.dll: the records naming the map file become the entry's, once
};

// Whether data the library does not understand stops the work.
enum class DataCheck {
    AsEver,      // Dorvan.dll: its answers are the contract setups rely on
    Understood,  // DorvanSetup.dll: NotRecords for an entry that is not whole
                 // records naming the map file, or a dictionary that names
                 // it outside any record, and nothing is changed
};

struct Registration {
    EarlierEntries earlier;
    CopyRule copy;
    DataCheck check;
};

// A numbered copy of the dictionary read whole, made before an edit;
// WriteFailed, for the copy, where `rule` requires it and it cannot be
// made.
Status BackUpBeforeEdit(const Dictionary &dictionary, CopyRule rule);

// Puts the entry "GeoExt.gxt" of `sourceDir` into the dictionary of
// `targetDir` as `how` says, after a numbered backup. Nothing is written,
// and no copy made, when the dictionary already holds it.
Status RegisterMapSet(const char *sourceDir, const char *targetDir, Registration how);

// Cuts every record naming the map file out of the dictionary of
// `targetDir`, after a numbered backup, which `rule` requires only when a
// record is to go.
Status UnregisterMapSet(const char *targetDir, CopyRule rule, DataCheck check);

// What an installer's rollback needs to put the dictionary back byte for
// byte after a registration or removal: its length and SHA-256 digest
// before the change, and the number of the copy the change will leave of
// it. A text with room for less keeps the digest's first bytes only.
constexpr uint32_t ShortDigestBytes = 8;

struct DictionarySnapshot {
    int32_t length;
    Digest digest;
    uint32_t digestBytes;  // how many of the digest's bytes are known, 8 to 32
    uint32_t copyNumber;
};

Status TakeDictionarySnapshot(const char *targetDir, DictionarySnapshot &snapshot);

// Puts the dictionary of `targetDir` back as `snapshot` saw it: nothing to
// do when it holds those bytes; else they come back from the numbered copy
// that holds them (the one the change left, or an earlier one), through
// the journal. CopyMissing when no copy holds them.
Status RestoreDictionarySnapshot(const char *targetDir, const DictionarySnapshot &snapshot);

}  // namespace dorvan
