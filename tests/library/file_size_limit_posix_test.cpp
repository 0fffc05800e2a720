// Real short writes: a child process whose files may not grow past a limit
// edits a dictionary of some 200 KB with each editing export, the limit
// below the dictionary, below the journal, or just below the new size.
// After the call and one more call of any export the dictionary holds its
// old or its new bytes, and the answer says which; a backup is whole or
// not there.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "message_capture.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

constexpr size_t JournalHeaderSize = 40;

struct LimitedEdit {
    const char *name;
    std::function<bool()> call;
    Bytes after;
    size_t journalSize;  // the journal this edit writes before it changes a byte
    bool reports;        // an installer action, which shows message 23 when the write fails
};

class FileSizeLimit : public testing::Test {
protected:
    void SetUp() override
    {
        // Kept records, then records naming the map file among others, so
        // that a removal's journal is most of the dictionary.
        Bytes kept, tail, tailKept;
        auto append = [](Bytes &to, const Bytes &record) { to.insert(to.end(), record.begin(), record.end()); };
        for (int i = 0; kept.size() < 70000; ++i)
            append(kept, MakeRecord("Wlochy" + std::to_string(i) + ".GST"));
        for (int i = 0; tail.size() < 130038; ++i) {
            Bytes record = MakeRecord(i % 5 == 0 ? std::string("Pols0000.GST") : "Niemcy" + std::to_string(i) + ".GST");
            append(tail, record);
            if (i % 5 != 0)
                append(tailKept, record);
        }
        firstChanged_ = kept.size();
        old_ = Concat({kept, tail});
        removed_ = Concat({kept, tailKept});
    }

    void Arrange()
    {
        for (const auto &entry : fs::directory_iterator(data_.Path()))
            fs::remove(entry.path());
        WriteFileBytes(data_ / "Geodict.dct", old_);
        WriteFileBytes(source_ / "GeoExt.gxt", entry_);
    }

    std::vector<LimitedEdit> Edits() const
    {
        const std::string data = data_.Name(), source = source_.Name(), file = (source_ / "GeoExt.gxt").string();
        const LibraryExports &library = Library();
        const size_t removalJournal = JournalHeaderSize + old_.size() - firstChanged_;
        return {
            {"SetGeoDict", [=, &library] { return library.SetGeoDict(nullptr, "", source.c_str(), data.c_str(), "") == 1; },
             Concat({old_, entry_}), JournalHeaderSize, true},
            {"ClearGeoDict", [=, &library] { return library.ClearGeoDict(nullptr, "", "", data.c_str(), "") == 1; },
             removed_, removalJournal, true},
            {"GeoDictGlue", [=, &library] { return library.GeoDictGlue(data.c_str(), file.c_str()) == 0; },
             Concat({old_, entry_}), JournalHeaderSize, false},
            {"GeoDictRemove", [=, &library] { return library.GeoDictRemove(data.c_str(), "pols0000.gst") == 1; },
             removed_, removalJournal, false},
        };
    }

    // Runs `edit` in a child whose files may not grow past `limit` bytes.
    // Bit 0 of the answer: the edit succeeded; bit 1: it showed what it
    // should (message 23 for a failed installer action, else nothing).
    int RunLimited(const LimitedEdit &edit, size_t limit) const
    {
        const std::string writeFailed = "Błąd zapisu do pliku \"" + (data_ / "Geodict.dct").string() + "\".";
        pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit bound{};
            bound.rlim_cur = bound.rlim_max = limit;
            setrlimit(RLIMIT_FSIZE, &bound);
            MessageCapture capture;
            const bool succeeded = edit.call();
            const auto &shown = capture.Messages();
            const bool told = succeeded || !edit.reports ? shown.empty()
                                                         : shown.size() == 1 && shown[0].text == writeFailed;
            _exit((succeeded ? 1 : 0) | (told ? 2 : 0));
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDirectory data_, source_;
    Bytes old_, removed_;
    size_t firstChanged_ = 0;
    const Bytes entry_ = Concat({MakeRecord("Pols0000.GST"), Bytes(4000, 'e')});
};

TEST_F(FileSizeLimit, EveryEditLeavesTheOldOrTheNewDictionaryAndAnswersWhich)
{
    const std::string data = data_.Name();
    for (const LimitedEdit &edit : Edits()) {
        // The last limit is never reached: the edit succeeds.
        const size_t limits[] = {50000, 150000, edit.journalSize - 1, edit.after.size() - 1,
                                 std::max(old_.size(), edit.after.size())};
        int neither = 0, takenBack = 0, failed = 0;
        for (size_t limit : limits) {
            Arrange();
            const int answer = RunLimited(edit, limit);
            ASSERT_GE(answer, 0) << edit.name << " killed under a limit of " << limit;
            const bool succeeded = answer & 1;
            EXPECT_TRUE(answer & 2) << edit.name << ", limit " << limit << ": the wrong message, or one too many";
            EXPECT_GE(Library().GeoDictFind(data.c_str(), "Wlochy0.GST"), 0) << edit.name << ", limit " << limit;
            const Bytes now = ReadFileBytes(data_ / "Geodict.dct");
            neither += now != old_ && now != edit.after;
            takenBack += succeeded && now != edit.after;
            failed += !succeeded;
            EXPECT_EQ(succeeded ? edit.after : old_, now)
                << edit.name << " answered " << (succeeded ? "success" : "failure") << " under a limit of " << limit;
            EXPECT_FALSE(fs::exists(data_ / "Geodict.dct-journal")) << edit.name << ", limit " << limit;
            EXPECT_TRUE(!fs::exists(data_ / "Geodict.000") || ReadFileBytes(data_ / "Geodict.000") == old_)
                << edit.name << ", limit " << limit << ": a backup cut short";
            EXPECT_FALSE(fs::exists(data_ / "Geodict.~cp")) << edit.name << ", limit " << limit;
        }
        std::printf("  %s: %zu limits, %d answered failure, %d neither old nor new, %d successes taken back\n",
                    edit.name, std::size(limits), failed, neither, takenBack);
    }
}

}  // namespace
}  // namespace dorvan::test
