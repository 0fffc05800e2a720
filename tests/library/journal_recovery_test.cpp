// What each export does with a rollback journal left beside the dictionary
// by an edit that never finished: a complete one is rolled back before the
// call reads the dictionary; one cut short or damaged, or one whose
// dictionary was replaced since, is discarded; and one that another
// process's edit still holds stops every call and stays. A dictionary that
// another call holds past the wait stops every call too, changing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

TEST(JournalRecovery, EachExportFindsTheDictionaryAsItWasBeforeTheInterruptedEdit)
{
    TempDirectory data, source;
    const std::string folder = data.Name(), sourceDir = source.Name(), entryFile = (source / "GeoExt.gxt").string();
    const Bytes old = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST"), ToBytes("\x00opaque"),
                              MakeRecord("Niemcy.GST"), MakeRecord("POLS0000.gst")});
    const uint32_t firstPolish = static_cast<uint32_t>(MakeRecord("Wlochy.GST").size());
    const Bytes entry = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});
    WriteFileBytes(source / "GeoExt.gxt", entry);

    // What an interrupted edit leaves: an append half done, a rewrite half
    // done, a journal cut short or changed (the dictionary not touched yet);
    // and a journal whose dictionary was replaced since (a copy put back by
    // hand), shorter than the kept bytes or holding others: discarded.
    const Bytes halfAppended = Concat({old, Bytes(entry.begin(), entry.begin() + 9)});
    const Bytes halfRewritten = Concat({Bytes(old.begin(), old.begin() + firstPolish), ToBytes("opa")});
    const Bytes appending = MakeJournal(old, old.size()), rewriting = MakeJournal(old, firstPolish);
    Bytes cutShort = rewriting, changed = rewriting;
    cutShort.resize(cutShort.size() - 3);
    changed.back() ^= 1;
    const Bytes other = Bytes(old.begin(), old.begin() + 10), foreign = MakeJournal(old, 40);
    const Bytes byHand = Concat({MakeRecord("Wlochx.GST"), MakeRecord("Niemcy.GST")});

    const LibraryExports &library = Library();
    void *owner = TestOwnerWindow();
    const std::function<int()> query = [&] { return library.GeoDictFind(folder.c_str(), "Niemcy.GST"); };
    const std::function<int()> set = [&] {
        return library.SetGeoDict(owner, "", sourceDir.c_str(), folder.c_str(), "");
    };
    const std::function<int()> clear = [&] { return library.ClearGeoDict(owner, "", "", folder.c_str(), ""); };
    const std::function<int()> glue = [&] { return library.GeoDictGlue(folder.c_str(), entryFile.c_str()); };
    const std::function<int()> remove = [&] { return library.GeoDictRemove(folder.c_str(), "pols0000.gst"); };
    const Bytes withoutExact = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST"),
                                       MakeRecord("POLS0000.gst")});

    struct Case {
        const char *what;
        Bytes dictionary, journal;
        std::function<int()> call;
        int answer;
        Bytes after;
        size_t messages;
        bool journalStays;
        HeldFile::Kind held;  // by another process's edit, still running
    } cases[] = {
        {"append rolled back, query", halfAppended, appending, query, 1, old, 0, false, HeldFile::None},
        {"append rolled back, install", halfAppended, appending, set, 1, Concat({old, entry}), 0, false, HeldFile::None},
        {"rewrite rolled back, query", halfRewritten, rewriting, query, 1, old, 0, false, HeldFile::None},
        {"rewrite rolled back, uninstall", halfRewritten, rewriting, clear, 1, withoutExact, 0, false, HeldFile::None},
        {"rewrite rolled back, glue", halfRewritten, rewriting, glue, 0, Concat({old, entry}), 0, false, HeldFile::None},
        {"rewrite rolled back, remove", halfRewritten, rewriting, remove, 1,
         Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST")}), 0, false, HeldFile::None},
        {"journal cut short, discarded", old, cutShort, query, 1, old, 0, false, HeldFile::None},
        {"journal changed, discarded", old, changed, query, 1, old, 0, false, HeldFile::None},
        {"dictionary replaced, shorter, query", other, foreign, query, 0, other, 0, false, HeldFile::None},
        {"dictionary replaced, shorter, install", other, foreign, set, 1, Concat({other, entry}), 0, false, HeldFile::None},
        {"dictionary replaced, query", byHand, rewriting, query, 1, byHand, 0, false, HeldFile::None},
        {"journal in use, query", halfAppended, appending, query, -1, halfAppended, 0, true, HeldFile::Journal},
        {"journal in use, install", halfAppended, appending, set, 0, halfAppended, 1, true, HeldFile::Journal},
        {"journal in use, remove", halfAppended, appending, remove, -1, halfAppended, 0, true, HeldFile::Journal},
        {"dictionary held, query", halfAppended, appending, query, -1, halfAppended, 0, true, HeldFile::Dictionary},
        {"dictionary held, install", halfAppended, appending, set, 0, halfAppended, 1, true, HeldFile::Dictionary},
    };
    for (const Case &c : cases) {
        for (const auto &file : fs::directory_iterator(data.Path()))
            fs::remove(file.path());
        WriteFileBytes(data / "Geodict.dct", c.dictionary);
        WriteFileBytes(data / "Geodict.dct-journal", c.journal);
        MessageCapture capture;
        const char *heldName = c.held == HeldFile::Journal ? "Geodict.dct-journal" : "Geodict.dct";
        std::unique_ptr<HeldFile> held(c.held ? new HeldFile(data / heldName, c.held) : nullptr);
        EXPECT_EQ(c.answer, c.call()) << c.what;
        held.reset();
        EXPECT_EQ(c.after, ReadFileBytes(data / "Geodict.dct")) << c.what;
        EXPECT_EQ(c.messages, capture.Messages().size()) << c.what;
        EXPECT_EQ(c.journalStays, fs::exists(data / "Geodict.dct-journal")) << c.what;
        // A journal that stops a call leaves nothing else behind: no copy.
        if (c.journalStays) {
            EXPECT_EQ(2u, data.Listing().size()) << c.what;
        }
    }
}

}  // namespace
}  // namespace dorvan::test
