// The exports as a setup program finds them: by name and by ordinal, the
// same entry points.
#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Exports, EachNameAndItsOrdinalLeadToTheSameEntryPoint)
{
    HMODULE library = LoadLibraryA("Dorvan.dll");
    ASSERT_NE(nullptr, library);
    const char *names[] = {"SetInstallDir", "SetGeoDict",  "ClearGeoDict",  "VorezuInstalled",
                           "GeoDictFind",   "GeoDictGlue", "GeoDictRemove", "FindStringInFile"};
    for (int ordinal = 1; ordinal <= 8; ++ordinal) {
        FARPROC byName = GetProcAddress(library, names[ordinal - 1]);
        FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, byOrdinal) << names[ordinal - 1] << " at ordinal " << ordinal;
    }
    EXPECT_EQ(nullptr, GetProcAddress(library, "GeoDictFind@8"));
    FreeLibrary(library);
}

}  // namespace
