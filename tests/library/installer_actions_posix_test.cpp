// DorvanSetup's registration over an older version, its snapshots, and
// Windows Installer's custom actions on the portable build's stand-in
// session, as msiexec runs them: the immediate action hands out the
// CustomActionData, the deferred action edits, and the rollback action puts
// the dictionary back byte for byte, after an install, an upgrade and a
// removal.
#include <gtest/gtest.h>

#include <string>

#include "dictionary_builder.h"
#include "dorvan_setup.h"
#include "session_stand_in.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

// An older version's entry in the host's dictionary, and this version's.
const Bytes Host = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque")});
const Bytes OlderEntry = MakeRecord("Pols0000.GST extra");
const Bytes Entry = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});

TEST(InstallerActions, AnUpgradeLeavesTheNewEntryOnceAndItsSnapshotPutsTheOldOneBack)
{
    TempDirectory data, source;
    WriteFileBytes(source / "GeoExt.gxt", Entry);
    const Bytes older = Concat({Host, OlderEntry});
    // Over an older entry, over two, and over itself (nothing written).
    for (const Bytes &before : {older, Concat({older, Entry, OlderEntry}), Concat({Host, Entry})}) {
        WriteFileBytes(data / "Geodict.dct", before);
        char snapshot[DORVAN_SNAPSHOT_CHARS];
        ASSERT_EQ(0, TakeDictionarySnapshot(data.Name().c_str(), snapshot, sizeof snapshot, nullptr, 0));
        EXPECT_EQ(0, RegisterMapSet(source.Name().c_str(), data.Name().c_str(), nullptr, 0));
        EXPECT_EQ(Concat({Host, Entry}), ReadFileBytes(data / "Geodict.dct"));
        EXPECT_EQ(before != Concat({Host, Entry}), std::filesystem::exists(data / "Geodict.000"));
        EXPECT_EQ(0, RestoreDictionarySnapshot(data.Name().c_str(), snapshot, nullptr, 0));
        EXPECT_EQ(before, ReadFileBytes(data / "Geodict.dct"));
        std::filesystem::remove(data / "Geodict.000");
    }
    // Texts it did not write, and a buffer too small: -1, nothing done.
    wchar_t message[8] = L"x";
    for (const char *bad : {"", "12|00000000000000ff", "12|00000000000000ff|0|", "12x|00000000000000ff|0"})
        EXPECT_EQ(-1, RestoreDictionarySnapshot(data.Name().c_str(), bad, message, 8)) << bad;
    char small[8];
    EXPECT_EQ(-1, TakeDictionarySnapshot(data.Name().c_str(), small, sizeof small, message, 8));
    EXPECT_EQ(L'\0', message[0]);
    EXPECT_EQ(Concat({Host, Entry}), ReadFileBytes(data / "Geodict.dct"));

    // What a setup author may take for the data: text lines, an entry of no
    // records, of records not naming the map file, or with bytes after its
    // records; and a dictionary naming the map file outside any record. Each
    // is refused with message 22 naming that file, and nothing changes.
    const std::pair<Bytes, Bytes> misunderstood[] = {
        {ToBytes("Pols0000.GST\r\nCzechy.GST\r\n"), Host},
        {{}, Host},
        {MakeRecord("Czechy.GST"), Host},
        {Concat({Entry, ToBytes("\r\n")}), Host},
        {Entry, Concat({Host, ToBytes("Pols0000.GST\r\n")})},
    };
    for (const auto &[entry, dictionary] : misunderstood) {
        WriteFileBytes(source / "GeoExt.gxt", entry);
        WriteFileBytes(data / "Geodict.dct", dictionary);
        wchar_t text[256];
        const bool entryAtFault = dictionary == Host;
        EXPECT_EQ(22, entryAtFault ? RegisterMapSet(source.Name().c_str(), data.Name().c_str(), text, 256)
                                   : UnregisterMapSet(data.Name().c_str(), text, 256))
            << entry.size();
        EXPECT_NE(std::wstring::npos, std::wstring(text).find(entryAtFault ? L"GeoExt.gxt" : L"Geodict.dct"));
        EXPECT_EQ(dictionary, ReadFileBytes(data / "Geodict.dct"));
        EXPECT_EQ(std::vector<std::string>{"Geodict.dct"}, data.Listing());
    }
}

TEST(InstallerActions, EachChangeIsRolledBackToTheDictionaryAsItWas)
{
    TempDirectory data, source;
    const Bytes old = Concat({Host, OlderEntry});
    WriteFileBytes(data / "Geodict.000", ToBytes("an earlier copy"));
    WriteFileBytes(source / "GeoExt.gxt", Entry);
    DorvanSetSessionProperty("DORVANMAPDATA", data.Name().c_str());
    DorvanSetSessionProperty("DORVANENTRYDIR", source.Name().c_str());
    DorvanSetSessionProperty("DORVANHOSTFOUND", "1");

    struct Change {
        const char *name;
        unsigned (*action)(unsigned long);
        const char *rollback;
        Bytes after;
        const char *upgradingProduct = "";
    };
    const Change changes[] = {
        // The older version's record gives way to this one's entry.
        {"DorvanRegisterMapSet", RegisterMapSetAction, "DorvanRegisterMapSetRollback", Concat({Host, Entry})},
        {"DorvanUnregisterMapSet", UnregisterMapSetAction, "DorvanUnregisterMapSetRollback", Host},
        // The older product removed by the newer one's upgrade: the
        // registration stays.
        {"DorvanUnregisterMapSet", UnregisterMapSetAction, "DorvanUnregisterMapSetRollback", old,
         "{6F0F2B9E-3C51-4D7A-9A57-2D4E8C1B7A10}"},
    };
    for (const Change &change : changes) {
        WriteFileBytes(data / "Geodict.dct", old);
        DorvanSetSessionProperty("UPGRADINGPRODUCTCODE", change.upgradingProduct);
        DorvanSetSessionProperty("REMOVE", change.upgradingProduct[0] ? "ALL" : "");
        ASSERT_EQ(0u, PrepareMapSetActions(0)) << change.name;
        EXPECT_EQ(0u, RunWithActionData(change.action, change.name)) << change.name;
        EXPECT_EQ(change.after, ReadFileBytes(data / "Geodict.dct")) << change.name;
        // Twice: a second rollback finds nothing to do.
        for (int run = 0; run < 2; ++run) {
            EXPECT_EQ(0u, RunWithActionData(RestoreDictionaryAction, change.rollback)) << change.name;
            EXPECT_EQ(old, ReadFileBytes(data / "Geodict.dct")) << change.name << " rolled back";
        }
    }
    EXPECT_EQ(ToBytes("an earlier copy"), ReadFileBytes(data / "Geodict.000"));
    DorvanSetSessionProperty("UPGRADINGPRODUCTCODE", "");
    DorvanSetSessionProperty("REMOVE", "");

    // CustomActionData that the immediate action did not write (the reader
    // has its own table), one that does not fit a property read (cut, it
    // would still name the folder), and a copy number at the top of the
    // range, whose search must end: 1603, and nothing touched.
    WriteFileBytes(data / "Geodict.dct", Concat({Host, Entry, Entry}));
    const std::pair<unsigned (*)(unsigned long), std::string> malformed[] = {
        {RegisterMapSetAction, source.Name() + "|" + data.Name() + "|"},
        {UnregisterMapSetAction, data.Name() + "|" + data.Name()},
        {RestoreDictionaryAction, data.Name() + "|83x|2751f3777227d67a|1"},
        {UnregisterMapSetAction, data.Name() + std::string(3000, '/')},
        {RestoreDictionaryAction, data.Name() + "|83|2751f3777227d67a|4294967231"},
    };
    for (const auto &[action, text] : malformed) {
        DorvanSetSessionProperty("CustomActionData", text.c_str());
        EXPECT_EQ(1603u, action(0)) << text;
        EXPECT_EQ(Concat({Host, Entry, Entry}), ReadFileBytes(data / "Geodict.dct")) << text;
        EXPECT_FALSE(std::filesystem::exists(data / "Geodict.003")) << text;
    }

    // A copy that is a link to a file elsewhere is not read, even one
    // holding the very bytes: the rollback answers its failure.
    TempDirectory elsewhere;
    WriteFileBytes(elsewhere / "old", old);
    WriteFileBytes(data / "Geodict.dct", old);
    ASSERT_EQ(0u, PrepareMapSetActions(0));
    ASSERT_EQ(0u, RunWithActionData(RegisterMapSetAction, "DorvanRegisterMapSet"));
    for (const auto &copy : std::filesystem::directory_iterator(data.Path())) {
        if (copy.path().extension() != ".dct" && ReadFileBytes(copy.path()) == old) {
            std::filesystem::remove(copy.path());
            std::filesystem::create_symlink(elsewhere / "old", copy.path());
        }
    }
    EXPECT_EQ(1603u, RunWithActionData(RestoreDictionaryAction, "DorvanRegisterMapSetRollback"));
    EXPECT_EQ(Concat({Host, Entry}), ReadFileBytes(data / "Geodict.dct"));

    // No dictionary: the immediate action fails the installation, but not
    // a removal, which has nothing to unregister; nor does a removal with
    // no host, whose deferred actions get no folder at all. A folder that
    // does not fit a property read fails the immediate action.
    std::filesystem::remove(data / "Geodict.dct");
    EXPECT_EQ(1603u, PrepareMapSetActions(0));
    DorvanSetSessionProperty("REMOVE", "ALL");
    EXPECT_EQ(0u, PrepareMapSetActions(0));
    WriteFileBytes(data / "Geodict.dct", Concat({Host, Entry}));
    DorvanSetSessionProperty("DORVANHOSTFOUND", "");
    EXPECT_EQ(0u, PrepareMapSetActions(0));
    EXPECT_EQ("", SessionProperty("DorvanUnregisterMapSet"));
    DorvanSetSessionProperty("REMOVE", "");
    DorvanSetSessionProperty("DORVANMAPDATA", (data.Name() + std::string(3000, '/')).c_str());
    EXPECT_EQ(1603u, PrepareMapSetActions(0));
    EXPECT_EQ(Concat({Host, Entry}), ReadFileBytes(data / "Geodict.dct"));
}

}  // namespace
}  // namespace dorvan::test
