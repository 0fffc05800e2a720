/*
 * Dorvan: installs and uninstalls the Poland map set in the host mapping
 * component's geographic dictionary "Geodict.dct".
 *
 * Every string is a zero-terminated 8-bit string in the ANSI code page.
 * On Windows the functions live in Dorvan.dll and use the standard calling
 * convention (__stdcall); on other platforms libdorvan.so exports the same
 * names with C linkage.
 */
#ifndef DORVAN_H
#define DORVAN_H

#ifdef _WIN32
#  define DORVAN_CALL __stdcall
#  ifdef DORVAN_BUILDING_LIBRARY
#    define DORVAN_API
#  else
#    define DORVAN_API __declspec(dllimport)
#  endif
#else
#  define DORVAN_CALL
#  define DORVAN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Owner window of the message boxes an installer action shows (HWND). */
typedef void *DorvanWindow;

/*
 * Installer actions. Each takes five 32-bit arguments; the second and the
 * fifth are never read. The result is one byte: 1 success, 0 failure (the
 * failure has already been shown to the user in a message box).
 */

/* Writes the host's map data directory into targetDir (at least 260 bytes). */
DORVAN_API unsigned char DORVAN_CALL SetInstallDir(DorvanWindow owner, const char *unused1,
                                                   const char *sourceDir, char *targetDir,
                                                   const char *unused2);

/* Appends sourceDir\GeoExt.gxt to targetDir\Geodict.dct once, after a numbered backup. */
DORVAN_API unsigned char DORVAN_CALL SetGeoDict(DorvanWindow owner, const char *unused1,
                                                const char *sourceDir, const char *targetDir,
                                                const char *unused2);

/* Cuts every record naming "Pols0000.GST" out of targetDir\Geodict.dct, after a numbered backup. */
DORVAN_API unsigned char DORVAN_CALL ClearGeoDict(DorvanWindow owner, const char *unused1,
                                                  const char *sourceDir, const char *targetDir,
                                                  const char *unused2);

/*
 * Service functions: silent, 32-bit signed codes.
 */

/* 1 when "Pols0000.GST" occurs in the dictionary, 0 when not, -1 when it cannot be read. */
DORVAN_API int DORVAN_CALL VorezuInstalled(const char *mapDataDir);

/* 1 when name occurs in the dictionary, 0 when not, -1 when it cannot be read. */
DORVAN_API int DORVAN_CALL GeoDictFind(const char *mapDataDir, const char *name);

/* 0 when every byte of filePath was appended to the dictionary, else -1. */
DORVAN_API int DORVAN_CALL GeoDictGlue(const char *mapDataDir, const char *filePath);

/* 1 when records naming name (any ASCII letter case) were cut out, 0 when none, -1 on failure. */
DORVAN_API int DORVAN_CALL GeoDictRemove(const char *mapDataDir, const char *name);

/* Offset of the first occurrence of text in the file; -1 when empty or absent; -2 on I/O failure. */
DORVAN_API int DORVAN_CALL FindStringInFile(const char *filePath, const char *text);

#ifndef _WIN32
/*
 * Portable build only. A program that loads libdorvan.so may receive the
 * messages the library shows instead of having them written to standard
 * error. The sink gets the owner window, the text, the caption and the
 * style, and returns the button pressed (1 for OK). The text and caption
 * are UTF-8, except a path inserted into the text: that is placed exactly
 * as its bytes were passed to the library (a file name's own bytes), so a
 * path that is not UTF-8 arrives as it is. Pass a null sink to go back to
 * standard error.
 */
typedef int (*DorvanMessageSink)(void *context, DorvanWindow owner, const char *text,
                                 const char *caption, unsigned style);
DORVAN_API void DorvanSetMessageSink(DorvanMessageSink sink, void *context);

/*
 * Portable build only. Chooses the folder that holds the library's stand-in
 * for the system registry (see docs/registry.md). Until a folder is chosen
 * no registry key can be opened, as on a system without the host. Returns
 * 0 on success, -1 when the path is empty or too long.
 */
DORVAN_API int DorvanSetRegistryRoot(const char *folder);
#endif

#ifdef __cplusplus
}
#endif

#endif /* DORVAN_H */
