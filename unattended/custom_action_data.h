// The texts one step of an installation hands to a later one: the
// CustomActionData of each deferred and rollback Windows Installer action,
// and the dictionary's snapshot that a setup script keeps for its own undo.
//
// Fields are separated by '|', which no Windows path holds, and none may
// be empty:
//
//   registration     ENTRYDIR|MAPDATADIR
//   unregistration   MAPDATADIR
//   rollback         MAPDATADIR|LENGTH|DIGEST|COPY
//   snapshot         LENGTH|DIGEST|COPY
//
// ENTRYDIR holds "GeoExt.gxt"; MAPDATADIR is the map data directory.
// LENGTH is the dictionary's length before the change, in decimal digits
// with no leading zero, 0 to 2147483647; DIGEST its SHA-256 digest in
// lower-case hexadecimal digits, all 64 in the rollback's data and the
// first 16 in the snapshot a setup script keeps, which has to fit
// DORVAN_SNAPSHOT_CHARS (either form reads back); COPY the number of the
// numbered copy the change leaves of it, in decimal digits likewise, 0 to
// 4294967294. An empty
// CustomActionData means that the action has nothing to do (a removal
// with no dictionary, or one whose registration stays for another
// product). Anything else is malformed and is refused whole.
#pragma once

#include <cstddef>

#include "installer/installer_actions.h"

namespace dorvan {

constexpr char FieldSeparator = '|';

// A snapshot's text, terminator included, fits this size: with the
// digest's first 8 bytes, or with all of it.
constexpr size_t SnapshotTextSize = 40;
constexpr size_t WholeSnapshotTextSize = 88;

// "LENGTH|DIGEST|COPY", with the first `digestBytes` of the digest (8 for
// a setup script's snapshot, 32 for a rollback's data).
void FormatSnapshot(const DictionarySnapshot &snapshot, char (&text)[WholeSnapshotTextSize], uint32_t digestBytes);
bool ParseSnapshot(const char *text, DictionarySnapshot &snapshot);

// Splits `data` in place at its separators into exactly `count` fields,
// none empty; false, with `data` left in pieces, for any other number.
bool SplitFields(char *data, char **fields, int count);

// A rollback's CustomActionData in place: its directory in `*mapDataDir`.
bool ParseRollbackData(char *data, char **mapDataDir, DictionarySnapshot &snapshot);

}  // namespace dorvan
