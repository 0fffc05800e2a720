/*
 * What a setup program does with Dorvan, in C: find the host's map data
 * directory, check the map set's entry, register it, and (what the
 * uninstaller does) unregister it again; then the same round trip through
 * the quiet service functions. The dictionary ends as it began, with the
 * two numbered backups the installer actions left beside it.
 *
 * usage: map_set_setup SOURCE [MAPDATA]
 *   SOURCE   the folder holding GeoExt.gxt (the setup's own files)
 *   MAPDATA  the folder holding Geodict.dct; found with SetInstallDir when
 *            left out
 *
 * Building it against the kit (see docs/setup-guide.md):
 *   i686-w64-mingw32-gcc map_set_setup.c -Iinclude -Llib -lDorvan -o map_set_setup.exe
 *   cc map_set_setup.c $(pkg-config --cflags --libs dorvan) -o map_set_setup
 */
#include <stdio.h>
#include <string.h>

#include "dorvan.h"

#ifdef _WIN32
#define SEPARATOR "\\"
#else
#define SEPARATOR "/"
#endif

/* Exit statuses: 0 the round trip went as expected, 1 a call failed, 2 bad usage. */
static int fail(const char *what, int code)
{
    fprintf(stderr, "map_set_setup: %s (code %d)\n", what, code);
    return 1;
}

int main(int argc, char **argv)
{
    /* SetInstallDir writes up to 260 bytes, the terminator included. */
    char mapData[260] = "";
    char entry[300];
    const char *source;
    int code;

    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: map_set_setup SOURCE [MAPDATA]\n");
        return 2;
    }
    source = argv[1];
    if (argc == 3) {
        if (strlen(argv[2]) >= sizeof mapData) {
            fprintf(stderr, "map_set_setup: MAPDATA is longer than 259 bytes\n");
            return 2;
        }
        strcpy(mapData, argv[2]);
    } else if (!SetInstallDir(NULL, "", source, mapData, "")) {
        /* The user has already seen why in a message box (17 or 24). */
        return 1;
    }
    printf("map data directory: %s\n", mapData);

    /* A setup can check its own entry before it registers it. */
    snprintf(entry, sizeof entry, "%s" SEPARATOR "GeoExt.gxt", source);
    code = FindStringInFile(entry, "Pols0000.GST");
    if (code < 0)
        return fail("GeoExt.gxt does not name Pols0000.GST, or cannot be read", code);
    printf("GeoExt.gxt names Pols0000.GST at offset %d\n", code);

    /* Installing. The owner window would be the setup's own (HWND); with
       NULL the message boxes have no owner, and the reader's messages about
       opening, memory and reading are not shown. */
    if (VorezuInstalled(mapData) == 1)
        printf("already registered: SetGeoDict will leave the dictionary as it is\n");
    if (!SetGeoDict(NULL, "", source, mapData, ""))
        return 1;
    code = VorezuInstalled(mapData);
    if (code != 1)
        return fail("not registered after SetGeoDict", code);
    printf("registered (backup Geodict.000 or the next free number left)\n");

    /* Uninstalling. */
    if (!ClearGeoDict(NULL, "", "", mapData, ""))
        return 1;
    code = VorezuInstalled(mapData);
    if (code != 0)
        return fail("still registered after ClearGeoDict", code);
    printf("unregistered (one more backup left)\n");

    /* The quiet service functions: no message boxes, no backups. */
    code = GeoDictGlue(mapData, entry);
    if (code != 0)
        return fail("GeoDictGlue failed", code);
    code = GeoDictFind(mapData, "Pols0000.GST");
    if (code != 1)
        return fail("GeoDictFind does not see the glued entry", code);
    code = GeoDictRemove(mapData, "POLS0000.GST"); /* any ASCII letter case */
    if (code != 1)
        return fail("GeoDictRemove removed nothing", code);
    printf("glued and removed again through the service functions\n");
    return 0;
}
