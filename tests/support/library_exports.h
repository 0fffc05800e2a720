// The eight exports as a setup program reaches them: on Windows from
// Dorvan.dll loaded at run time and looked up by name, on the portable
// build from libdorvan.so.
#pragma once

#include "dorvan.h"

namespace dorvan::test {

struct LibraryExports {
    decltype(&::SetInstallDir) SetInstallDir;
    decltype(&::SetGeoDict) SetGeoDict;
    decltype(&::ClearGeoDict) ClearGeoDict;
    decltype(&::VorezuInstalled) VorezuInstalled;
    decltype(&::GeoDictFind) GeoDictFind;
    decltype(&::GeoDictGlue) GeoDictGlue;
    decltype(&::GeoDictRemove) GeoDictRemove;
    decltype(&::FindStringInFile) FindStringInFile;
};

// Aborts the test program when the library or an export is missing.
const LibraryExports &Library();

}  // namespace dorvan::test
