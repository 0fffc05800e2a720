// Windows Installer's custom actions on the portable build's stand-in
// session, as msiexec runs them: the immediate action hands out the
// CustomActionData, the deferred action edits, and the rollback action puts
// the dictionary back byte for byte, after an install and after a removal.
#include <gtest/gtest.h>

#include <string>

#include "dictionary_builder.h"
#include "dorvan_setup.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

std::string Property(const char *name)
{
    char value[1024];
    return DorvanSessionProperty(name, value, sizeof value) >= 0 ? value : "";
}

// Runs a deferred or rollback action with the CustomActionData that the
// immediate action left under its name.
unsigned RunDeferred(unsigned (*action)(unsigned long), const char *name)
{
    DorvanSetSessionProperty("CustomActionData", Property(name).c_str());
    return action(0);
}

TEST(InstallerActions, EachChangeIsRolledBackToTheDictionaryAsItWas)
{
    TempDirectory data, source;
    const Bytes old = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Pols0000.GST extra")});
    const Bytes entry = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});
    WriteFileBytes(data / "Geodict.000", ToBytes("an earlier copy"));
    WriteFileBytes(source / "GeoExt.gxt", entry);
    DorvanSetSessionProperty("DORVANMAPDATA", data.Name().c_str());
    DorvanSetSessionProperty("DORVANENTRYDIR", source.Name().c_str());

    struct Change {
        const char *name;
        unsigned (*action)(unsigned long);
        const char *rollback;
        Bytes after;
    };
    const Change changes[] = {
        {"DorvanRegisterMapSet", RegisterMapSetAction, "DorvanRegisterMapSetRollback", Concat({old, entry})},
        {"DorvanUnregisterMapSet", UnregisterMapSetAction, "DorvanUnregisterMapSetRollback",
         Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque")})},
    };
    for (const Change &change : changes) {
        WriteFileBytes(data / "Geodict.dct", old);
        ASSERT_EQ(0u, PrepareMapSetActions(0)) << change.name;
        EXPECT_EQ(0u, RunDeferred(change.action, change.name)) << change.name;
        EXPECT_EQ(change.after, ReadFileBytes(data / "Geodict.dct")) << change.name;
        EXPECT_EQ(0u, RunDeferred(RestoreDictionaryAction, change.rollback)) << change.name;
        EXPECT_EQ(old, ReadFileBytes(data / "Geodict.dct")) << change.name << " rolled back";
        // A second rollback finds nothing to do.
        EXPECT_EQ(0u, RunDeferred(RestoreDictionaryAction, change.rollback)) << change.name;
        EXPECT_EQ(old, ReadFileBytes(data / "Geodict.dct")) << change.name;
    }
    EXPECT_EQ(ToBytes("an earlier copy"), ReadFileBytes(data / "Geodict.000"));

    // No dictionary: the immediate action fails the installation, but not
    // a removal, which has nothing to unregister.
    std::filesystem::remove(data / "Geodict.dct");
    EXPECT_EQ(1603u, PrepareMapSetActions(0));
    DorvanSetSessionProperty("REMOVE", "ALL");
    EXPECT_EQ(0u, PrepareMapSetActions(0));
    DorvanSetSessionProperty("REMOVE", "");
}

}  // namespace
}  // namespace dorvan::test
