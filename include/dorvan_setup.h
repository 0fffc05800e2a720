/*
 * DorvanSetup: the installer actions of Dorvan.dll for setups that run
 * unattended and for Windows Installer. Nothing is ever shown: every
 * failure is handed back with its text, for the setup to log and to show
 * through its own boxes, which its silent switches can suppress.
 *
 * Each function answers 0 on success. On failure it answers the id (17 to
 * 24) of the message that Dorvan.dll shows for that failure, and writes
 * that message's Polish text, its path inserted, into `message` as UTF-16
 * (the platform's wide characters on the portable build), always
 * zero-terminated and cut to `messageChars` characters, terminator
 * included. `message` may be null. Messages 20 to 22 are always reported.
 *
 * The library also exports the five quiet service functions of dorvan.h
 * under their own names, so that an unattended setup ships one DLL. On
 * other platforms libdorvan.so exports these names beside the eight.
 *
 * Paths: each function that takes or gives a path has a twin whose name
 * ends in W. The first takes its paths as zero-terminated 8-bit strings in
 * the ANSI code page, as dorvan.h does, and so reaches only the paths that
 * code page can spell; the W twin takes them as UTF-16 (wchar_t) and
 * reaches any path Windows can name, such as a temporary folder under a
 * user's profile whose name holds letters of another alphabet. Both answer
 * and report alike, and a message names its path exactly as given. On the
 * portable build 8-bit paths are taken as their bytes, and wide ones are
 * written out as UTF-8 whatever the locale. Names to look for in the
 * dictionary stay 8-bit strings, matched as their bytes.
 */
#ifndef DORVAN_SETUP_H
#define DORVAN_SETUP_H

#include <wchar.h>

#include "dorvan.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The work of SetInstallDir: the host's map data directory into
   mapDataDir, a buffer of at least 260 bytes. */
DORVAN_API int DORVAN_CALL FindMapDataDir(char *mapDataDir, wchar_t *message, int messageChars);
/* The same into a buffer of at least 260 wide characters, exactly as the
   host recorded it. */
DORVAN_API int DORVAN_CALL FindMapDataDirW(wchar_t *mapDataDir, wchar_t *message, int messageChars);

/* The work of SetGeoDict, for upgrades too: afterwards the records of
   mapDataDir\Geodict.dct naming "Pols0000.GST" are exactly
   sourceDir\GeoExt.gxt, once. An earlier version's records give way to
   it in one edit, after a numbered backup; a dictionary that holds
   exactly that already is not written, and no copy is made. An entry that
   is not whole records, one after another, at least one naming
   "Pols0000.GST", is refused with message 22 naming it, and nothing is
   changed (SetGeoDict appends whatever the entry holds). */
DORVAN_API int DORVAN_CALL RegisterMapSet(const char *sourceDir, const char *mapDataDir, wchar_t *message,
                                          int messageChars);
DORVAN_API int DORVAN_CALL RegisterMapSetW(const wchar_t *sourceDir, const wchar_t *mapDataDir, wchar_t *message,
                                           int messageChars);

/* The work of ClearGeoDict: every record naming "Pols0000.GST" cut out of
   mapDataDir\Geodict.dct, after a numbered backup. A dictionary that names
   it outside any record, where no cut reaches it and every query still
   finds it, is refused with message 22 naming the dictionary, and nothing
   is changed (ClearGeoDict cuts the records and answers success). */
DORVAN_API int DORVAN_CALL UnregisterMapSet(const char *mapDataDir, wchar_t *message, int messageChars);
DORVAN_API int DORVAN_CALL UnregisterMapSetW(const wchar_t *mapDataDir, wchar_t *message, int messageChars);

/*
 * A setup's own undo, for a setup program that has no rollback of its own
 * (Inno Setup, NSIS). TakeDictionarySnapshot writes into `snapshot` a text
 * of at most DORVAN_SNAPSHOT_CHARS bytes, terminator included, that tells
 * the dictionary as it is now. RestoreDictionarySnapshot puts it back as
 * that text saw it: nothing to do when it still holds those bytes; else
 * they come back from a numbered copy that holds them, such as the one
 * RegisterMapSet or UnregisterMapSet left, through the rollback journal
 * (message 23 when none does). So a setup that fails after its
 * registration leaves the dictionary exactly as it found it, an older
 * version's entry included. Both answer as the functions above, or -1,
 * with nothing done, for a snapshot buffer smaller than
 * DORVAN_SNAPSHOT_CHARS or a text that TakeDictionarySnapshot did not
 * write.
 */
#define DORVAN_SNAPSHOT_CHARS 40
DORVAN_API int DORVAN_CALL TakeDictionarySnapshot(const char *mapDataDir, char *snapshot, int snapshotChars,
                                                  wchar_t *message, int messageChars);
DORVAN_API int DORVAN_CALL RestoreDictionarySnapshot(const char *mapDataDir, const char *snapshot,
                                                     wchar_t *message, int messageChars);
DORVAN_API int DORVAN_CALL TakeDictionarySnapshotW(const wchar_t *mapDataDir, char *snapshot, int snapshotChars,
                                                   wchar_t *message, int messageChars);
DORVAN_API int DORVAN_CALL RestoreDictionarySnapshotW(const wchar_t *mapDataDir, const char *snapshot,
                                                      wchar_t *message, int messageChars);

/* The service functions of dorvan.h with their paths in UTF-16. */
DORVAN_API int DORVAN_CALL VorezuInstalledW(const wchar_t *mapDataDir);
DORVAN_API int DORVAN_CALL GeoDictFindW(const wchar_t *mapDataDir, const char *name);
DORVAN_API int DORVAN_CALL GeoDictGlueW(const wchar_t *mapDataDir, const wchar_t *filePath);
DORVAN_API int DORVAN_CALL GeoDictRemoveW(const wchar_t *mapDataDir, const char *name);
DORVAN_API int DORVAN_CALL FindStringInFileW(const wchar_t *filePath, const char *text);

/*
 * Windows Installer custom actions, each UINT __stdcall Action(MSIHANDLE),
 * scheduled by the kit's DorvanSetup.wxi (see the guide): FindMapDataDir-
 * Action (immediate, before CostFinalize) sets DORVANMAPDATA;
 * PrepareMapSetActions (immediate, after InstallInitialize) hands the
 * deferred and rollback actions their CustomActionData;
 * RegisterMapSetAction and UnregisterMapSetAction (deferred) do the work of
 * RegisterMapSet and UnregisterMapSet, and do not start without the
 * numbered copy their rollback needs (message 23); the removal of an older
 * product by a major upgrade leaves the registration to the newer one.
 * RestoreDictionaryAction (rollback) puts the dictionary back as it was
 * before. Each answers 0, or 1603 (ERROR_INSTALL_FAILURE) after sending the
 * failure's text to the installer as its error message; a CustomActionData
 * that is not exactly as PrepareMapSetActions writes it is logged and
 * answered with 1603, nothing done.
 */
DORVAN_API unsigned DORVAN_CALL FindMapDataDirAction(unsigned long session);
DORVAN_API unsigned DORVAN_CALL PrepareMapSetActions(unsigned long session);
DORVAN_API unsigned DORVAN_CALL RegisterMapSetAction(unsigned long session);
DORVAN_API unsigned DORVAN_CALL UnregisterMapSetAction(unsigned long session);
DORVAN_API unsigned DORVAN_CALL RestoreDictionaryAction(unsigned long session);

#ifndef _WIN32
/*
 * Portable build only: the stand-in for the installer session's properties
 * that the actions read and set. DorvanSetSessionProperty answers 0, or -1
 * when the table is full or a text too long; DorvanSessionProperty the
 * value's length, or -1 when it does not fit `size` bytes.
 */
DORVAN_API int DorvanSetSessionProperty(const char *name, const char *value);
DORVAN_API int DorvanSessionProperty(const char *name, char *value, int size);
#endif

#ifdef __cplusplus
}
#endif

#endif /* DORVAN_SETUP_H */
