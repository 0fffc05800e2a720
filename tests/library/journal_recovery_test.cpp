// What each export does with a rollback journal left beside the dictionary
// by an edit that never finished: a complete one is rolled back before the
// call reads the dictionary, one cut short or damaged is discarded, and
// one that cannot be rolled back stops every call and stays.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    const std::string folder = data.Name(), entryFile = (source / "GeoExt.gxt").string();
    const Bytes old = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST"), ToBytes("\x00opaque"),
                              MakeRecord("Niemcy.GST"), MakeRecord("POLS0000.gst")});
    const uint32_t firstPolish = static_cast<uint32_t>(MakeRecord("Wlochy.GST").size());
    const Bytes entry = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});
    WriteFileBytes(source / "GeoExt.gxt", entry);

    // What an interrupted edit leaves: an append half done, a rewrite half
    // done, a journal cut short or changed (the dictionary not touched yet),
    // and a journal written for another dictionary.
    const Bytes halfAppended = Concat({old, Bytes(entry.begin(), entry.begin() + 9)});
    const Bytes halfRewritten = Concat({Bytes(old.begin(), old.begin() + firstPolish), ToBytes("\x00opa")});
    Bytes cutShort = MakeJournal(old, firstPolish), changed = cutShort;
    cutShort.resize(cutShort.size() - 3);
    changed.back() ^= 1;
    const Bytes foreignDictionary = Bytes(old.begin(), old.begin() + 10);

    const LibraryExports &library = Library();
    void *owner = TestOwnerWindow();
    const std::function<int()> query = [&] { return library.GeoDictFind(folder.c_str(), "Niemcy.GST"); };
    const std::function<int()> set = [&] { return library.SetGeoDict(owner, "", source.Name().c_str(), folder.c_str(), ""); };
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
    } cases[] = {
        {"append rolled back, query", halfAppended, MakeJournal(old, old.size()), query, 1, old, 0, false},
        {"append rolled back, install", halfAppended, MakeJournal(old, old.size()), set, 1, Concat({old, entry}), 0, false},
        {"rewrite rolled back, query", halfRewritten, MakeJournal(old, firstPolish), query, 1, old, 0, false},
        {"rewrite rolled back, uninstall", halfRewritten, MakeJournal(old, firstPolish), clear, 1, withoutExact, 0, false},
        {"rewrite rolled back, glue", halfRewritten, MakeJournal(old, firstPolish), glue, 0, Concat({old, entry}), 0, false},
        {"rewrite rolled back, remove", halfRewritten, MakeJournal(old, firstPolish), remove, 1,
         Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST")}), 0, false},
        {"journal cut short, discarded", old, cutShort, query, 1, old, 0, false},
        {"journal changed, discarded", old, changed, query, 1, old, 0, false},
        {"foreign journal, query", foreignDictionary, MakeJournal(old, 40), query, -1, foreignDictionary, 0, true},
        {"foreign journal, install", foreignDictionary, MakeJournal(old, 40), set, 0, foreignDictionary, 1, true},
        {"foreign journal, uninstall", foreignDictionary, MakeJournal(old, 40), clear, 0, foreignDictionary, 1, true},
        {"foreign journal, glue", foreignDictionary, MakeJournal(old, 40), glue, -1, foreignDictionary, 0, true},
        {"foreign journal, remove", foreignDictionary, MakeJournal(old, 40), remove, -1, foreignDictionary, 0, true},
    };
    for (const Case &c : cases) {
        for (const auto &file : fs::directory_iterator(data.Path()))
            fs::remove(file.path());
        WriteFileBytes(data / "Geodict.dct", c.dictionary);
        WriteFileBytes(data / "Geodict.dct-journal", c.journal);
        MessageCapture capture;
        EXPECT_EQ(c.answer, c.call()) << c.what;
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
