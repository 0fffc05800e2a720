#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "library_exports.h"

namespace dorvan::test {

namespace {

template <typename Function>
void Look(HMODULE library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
    if (!function) {
        std::fprintf(stderr, "Dorvan.dll exports no %s\n", name);
        std::abort();
    }
}

LibraryExports Load()
{
    HMODULE library = LoadLibraryA("Dorvan.dll");
    if (!library) {
        std::fprintf(stderr, "cannot load Dorvan.dll (error %lu)\n", GetLastError());
        std::abort();
    }
    LibraryExports exports{};
    Look(library, "SetInstallDir", exports.SetInstallDir);
    Look(library, "SetGeoDict", exports.SetGeoDict);
    Look(library, "ClearGeoDict", exports.ClearGeoDict);
    Look(library, "VorezuInstalled", exports.VorezuInstalled);
    Look(library, "GeoDictFind", exports.GeoDictFind);
    Look(library, "GeoDictGlue", exports.GeoDictGlue);
    Look(library, "GeoDictRemove", exports.GeoDictRemove);
    Look(library, "FindStringInFile", exports.FindStringInFile);
    return exports;
}

}  // namespace

const LibraryExports &Library()
{
    static const LibraryExports exports = Load();
    return exports;
}

}  // namespace dorvan::test
