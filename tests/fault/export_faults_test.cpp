// Every file operation and heap block of every export made to fail in
// turn, and made to come back short, and the process stopped before each:
// no crash, nothing left acquired, the failure reported, and the
// dictionary and its copies never lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "dictionary/copy_restore.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary_builder.h"
#include "dorvan.h"
#include "dorvan_setup.h"
#include "fault_injection.h"
#include "message_capture.h"
#ifndef _WIN32
#include "session_stand_in.h"
#endif
#include "test_files.h"
#include "test_registry.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;
using fault::Fault;
using fault::Operation;

struct Outcome {
    bool succeeded;
    size_t messages;
    std::string text = "";  // of the first message shown
};

// An export's twin in DorvanSetup, its paths in UTF-16 and naming a folder
// whose name the ANSI code page cannot spell: the message's id, or 0 (-1
// for a service function's failure), and its text.
using Twin = std::function<int(wchar_t *message, int messageChars)>;

// The four edits, each with the dictionary it must leave on success.
struct Edit {
    const char *name;
    std::function<bool()> call;
    Bytes after;
    bool reports;  // an installer action, which shows its failures
    Twin twin = nullptr;
};

class ExportFaults : public testing::Test {
protected:
    void Arrange(const TempDirectory &folder)
    {
        for (const auto &entry : fs::directory_iterator(folder.Path()))
            fs::remove(entry.path());
        WriteFileBytes(folder / "Geodict.dct", old_);
        WriteFileBytes(folder / "Geodict.000", ToBytes("an earlier copy"));
        WriteFileBytes(source_ / "GeoExt.gxt", entry_);
    }
    void Arrange() { Arrange(data_); }

    // Runs `call` once with the k-th operation of kind `operation` failing
    // (or short) for every k until a run passes without reaching the fault;
    // `check` judges each run. Where an installer action has a `twin`, the
    // twin runs first under the same fault and must give the same answer,
    // the same text and leave the same files. Returns the number of faults
    // injected. The twin's folder is `wide_`, named back as `data_` in its
    // text.
    int Loop(Fault kind, const std::function<Outcome()> &call, const std::function<void(const Outcome &, int)> &check,
             Operation operation = Operation::Any, const Twin &twin = nullptr)
    {
        int injected = 0;
        for (int k = 1;; ++k) {
            wchar_t twinText[1024] = L"untouched";
            int twinAnswer = 0;
            bool twinReached = false;
            std::map<std::string, Bytes> twinFiles;
            if (twin) {
                Arrange(wide_);
                MessageCapture capture;
                fault::Arm(operation, k, kind);
                twinAnswer = twin(twinText, 1024);
                twinReached = fault::Triggered();
                fault::Reset();
                twinFiles = Files(wide_);
                EXPECT_EQ(0u, capture.Messages().size()) << "the twin showed a message; fault " << k;
            }
            Arrange();
            MessageCapture capture;
            fault::Arm(operation, k, kind);
            Outcome outcome = call();
            outcome.messages = capture.Messages().size();
            if (outcome.messages)
                outcome.text = capture.Messages()[0].text;
            bool reached = fault::Triggered();
            fault::Reset();
            EXPECT_EQ(0, fault::OpenHandles()) << "fault at operation " << k;
            EXPECT_EQ(0, fault::LiveBlocks()) << "fault at operation " << k;
            EXPECT_EQ(ToBytes("an earlier copy"), ReadFileBytes(earlierCopy_)) << "copy written over, fault " << k;
            if (twin) {
                std::string text = WideToUtf8(twinText);
                for (size_t at; (at = text.find(wide_.Utf8Name())) != std::string::npos;)
                    text.replace(at, wide_.Utf8Name().size(), data_.Utf8Name());
                const bool same = twinReached == reached && (twinAnswer == 0) == outcome.succeeded &&
                                  (outcome.succeeded ? text.empty() : text == outcome.text) && twinFiles == Files();
                ++twinsCompared_;
                twinsAgreed_ += same;
                EXPECT_TRUE(same) << "twin answered " << twinAnswer << " \"" << WideToUtf8(twinText)
                                  << "\", the action " << outcome.succeeded << " \"" << outcome.text << "\"; fault " << k;
            }
            if (!reached) {
                EXPECT_TRUE(outcome.succeeded) << "the run without a fault";
                return injected;
            }
            ++injected;
            check(outcome, k);
            if (HasFatalFailure() || k > 200)
                return injected;
        }
    }

    // Every file in the map data directory, with its bytes.
    std::map<std::string, Bytes> Files(const TempDirectory &folder) const
    {
        std::map<std::string, Bytes> files;
        for (const auto &entry : fs::directory_iterator(folder.Path()))
            files[entry.path().filename().string()] = ReadFileBytes(entry.path());
        return files;
    }

    std::map<std::string, Bytes> Files() const { return Files(data_); }
    Bytes Dictionary() const { return ReadFileBytes(dictionaryPath_); }
    std::vector<Edit> Edits();

    TempDirectory data_, source_, wide_{"\xd0\x96\xd1\x83\xd0\xba \xc5\x81ukasz"};  // "Жук Łukasz"
    const fs::path dictionaryPath_ = data_ / "Geodict.dct";
    const fs::path earlierCopy_ = data_ / "Geodict.000";
    const Bytes old_ = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST"), ToBytes("\x00opaque"),
                               MakeRecord("Niemcy.GST"), MakeRecord("POLS0000.gst")});
    const Bytes entry_ = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});
    void *const owner_ = TestOwnerWindow();
    int twinsCompared_ = 0, twinsAgreed_ = 0;
};

// A failed installer action has shown exactly one message; success none.
void ExpectReported(const Outcome &outcome, int k)
{
    EXPECT_EQ(outcome.succeeded ? 0u : 1u, outcome.messages) << "fault at operation " << k;
}

std::vector<Edit> ExportFaults::Edits()
{
    const std::string data = data_.Name(), source = source_.Name(), file = (source_ / "GeoExt.gxt").string();
    const std::wstring wide = wide_.WideName(), wideSource = source_.WideName(),
                       wideFile = wideSource + L"/GeoExt.gxt";
    // A twin whose own text is not compared: a service function's, or one
    // whose action reports none.
    auto quiet = [](int answer, wchar_t *text) { return text[0] = L'\0', answer; };
    const Bytes withoutExact = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST"),
                                       MakeRecord("POLS0000.gst")});
    const Bytes withoutAnyCase = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST")});
    return {
        {"SetGeoDict", [=] { return SetGeoDict(owner_, "", source.c_str(), data.c_str(), "") == 1; },
         Concat({old_, entry_}), true},
        // The earlier record naming the map file gives way to the entry.
        {"RegisterMapSet", [=] { return RegisterMapSet(source.c_str(), data.c_str(), nullptr, 0) == 0; },
         Concat({withoutExact, entry_}), false,
         [=](wchar_t *text, int) { return quiet(RegisterMapSetW(wideSource.c_str(), wide.c_str(), nullptr, 0), text); }},
        {"ClearGeoDict", [=] { return ClearGeoDict(owner_, "", "", data.c_str(), "") == 1; }, withoutExact, true,
         [=](wchar_t *text, int chars) { return UnregisterMapSetW(wide.c_str(), text, chars); }},
        {"GeoDictGlue", [=] { return GeoDictGlue(data.c_str(), file.c_str()) == 0; }, Concat({old_, entry_}), false,
         [=](wchar_t *text, int) { return quiet(GeoDictGlueW(wide.c_str(), wideFile.c_str()), text); }},
        {"GeoDictRemove", [=] { return GeoDictRemove(data.c_str(), "pols0000.gst") == 1; }, withoutAnyCase, false,
         [=](wchar_t *text, int) { return quiet(GeoDictRemoveW(wide.c_str(), "pols0000.gst") == 1 ? 0 : -1, text); }},
    };
}

// Each operation fails once, comes back short (then nothing more of its
// kind, or every operation failing), or fails from then on (every
// operation, or every file-size change or sync); or each open is
// denied, which lets an edit go ahead without its journal.
struct Mode {
    Fault kind;
    Operation operation;
    const char *name;
};
const Mode Modes[] = {
    {Fault::Fail, Operation::Any, "each operation failing"},
    {Fault::Short, Operation::Any, "short, then nothing"},
    {Fault::Partial, Operation::Any, "short once"},
    {Fault::Lasting, Operation::Any, "every operation failing from then on"},
    {Fault::Cut, Operation::Any, "short, then every operation failing"},
    {Fault::Lasting, Operation::Resize, "every file-size change failing from then on"},
    {Fault::Lasting, Operation::Sync, "every sync failing from then on"},
    {Fault::Denied, Operation::Open, "each open denied for want of rights"},
};

// Whatever fails, the dictionary is never left lost: an edit that answers
// success has made its change, one that answers failure has not, once the
// next call (any export) has rolled back what a journal describes.
TEST_F(ExportFaults, EveryEditLeavesTheOldOrTheNewDictionary)
{
    for (const Edit &edit : Edits()) {
        for (const Mode &mode : Modes) {
            int unsettled = 0, neither = 0, takenBack = 0;
            int injected = Loop(mode.kind, [&] { return Outcome{edit.call(), 0}; },
                [&](const Outcome &outcome, int k) {
                    if (edit.reports)
                        ExpectReported(outcome, k);
                    else
                        EXPECT_EQ(0u, outcome.messages);
                    Bytes now = Dictionary();
                    if (outcome.succeeded) {
                        EXPECT_EQ(edit.after, now) << edit.name << ", fault at operation " << k;
                    }
                    unsettled += now != old_ && now != edit.after;
                    GeoDictFind(data_.Name().c_str(), "");
                    now = Dictionary();
                    neither += now != old_ && now != edit.after;
                    takenBack += outcome.succeeded && now != edit.after;
                    EXPECT_EQ(outcome.succeeded ? edit.after : old_, now)
                        << edit.name << " (" << mode.name << "), after the next call; fault at operation " << k;
                    EXPECT_FALSE(fs::exists(data_ / "Geodict.dct-journal")) << edit.name << ", fault " << k;
                    // A copy cut short is removed, where anything still can be.
                    const bool allFail = mode.kind == Fault::Lasting || mode.kind == Fault::Cut;
                    if (!allFail || mode.operation != Operation::Any) {
                        EXPECT_TRUE(!fs::exists(data_ / "Geodict.001") || ReadFileBytes(data_ / "Geodict.001") == old_)
                            << edit.name << " (" << mode.name << "), a backup cut short; fault " << k;
                        GeoDictRemove(data_.Name().c_str(), "no such map set");
                        EXPECT_FALSE(fs::exists(data_ / "Geodict.~cp")) << edit.name << ", fault " << k;
                    }
                }, mode.operation, edit.twin);
            EXPECT_GT(injected, mode.operation == Operation::Any ? 10 : 0) << edit.name << ", " << mode.name;
            std::printf("  %s, %s: %d faults, %d left for the next call to roll back, %d neither old nor new after "
                        "it, %d successes taken back\n",
                        edit.name, mode.name, injected, unsettled, neither, takenBack);
        }
    }
    std::printf("  DorvanSetup's twins gave the same answer, text and files in %d of %d cases\n", twinsAgreed_,
                twinsCompared_);
}

#ifndef _WIN32
// Runs `call` in a child killed just before its k-th file operation: -1
// when it was killed, else 0 for success and 1 for failure.
int RunKilledBefore(int k, const std::function<bool()> &call)
{
    pid_t child = fork();
    if (child == 0) {
        fault::Before(Operation::Any, k, [] { raise(SIGKILL); });
        _exit(call() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? -1 : WEXITSTATUS(status);
}

// Windows Installer's transaction, as msiexec plays it when a later action
// fails: the immediate action takes its snapshot, the deferred action
// edits, its rollback puts the dictionary back, every operation of the
// three failing in turn. After the next call the dictionary holds the old
// or the new bytes, and the old ones whenever the rollback answered
// success; a rollback that cannot put them back answers its failure.
TEST_F(ExportFaults, EveryInstallerTransactionRollsBackOrAnswersWhyNot)
{
    DorvanSetSessionProperty("DORVANMAPDATA", data_.Name().c_str());
    DorvanSetSessionProperty("DORVANENTRYDIR", source_.Name().c_str());
    const struct {
        const char *name;
        unsigned (*action)(unsigned long);
        const char *rollback;
    } actions[] = {{"DorvanRegisterMapSet", RegisterMapSetAction, "DorvanRegisterMapSetRollback"},
                   {"DorvanUnregisterMapSet", UnregisterMapSetAction, "DorvanUnregisterMapSetRollback"}};
    for (const auto &action : actions) {
        for (const Mode &mode : Modes) {
            unsigned changed = 0, restored = 0;
            int unrestored = 0;
            int injected = Loop(mode.kind,
                [&] {
                    // Failing here, the installation ends before any change.
                    changed = 1603;
                    restored = 0;
                    if (PrepareMapSetActions(0) != 0)
                        return Outcome{false, 0};
                    changed = RunWithActionData(action.action, action.name);
                    restored = RunWithActionData(RestoreDictionaryAction, action.rollback);
                    return Outcome{changed == 0 && restored == 0 && Dictionary() == old_, 0};
                },
                [&](const Outcome &, int k) {
                    if (restored == 0) {
                        EXPECT_EQ(old_, Dictionary()) << action.name << " (" << mode.name << "), fault " << k;
                    }
                    unrestored += restored != 0;
                    GeoDictFind(data_.Name().c_str(), "");
                    const Bytes now = Dictionary();
                    EXPECT_TRUE(now == old_ || restored != 0) << action.name << " (" << mode.name << "), fault " << k;
                    EXPECT_FALSE(fs::exists(data_ / "Geodict.dct-journal")) << action.name << ", fault " << k;
                }, mode.operation);
            EXPECT_GT(injected, mode.operation == Operation::Any ? 10 : 0) << action.name << ", " << mode.name;
            std::printf("  %s and its rollback, %s: %d faults, %d rollbacks answered failure\n", action.name,
                        mode.name, injected, unrestored);
        }
    }
}

// The process stopped before each file operation of each edit in turn,
// those of the journal included: the next call finds the old or the new
// dictionary.
TEST_F(ExportFaults, EveryEditKilledAtEveryStepLeavesTheOldOrTheNewDictionary)
{
    for (const Edit &edit : Edits()) {
        int kills = 0;
        for (int k = 1; k < 500; ++k) {
            Arrange();
            const int answer = RunKilledBefore(k, edit.call);
            if (answer >= 0) {
                EXPECT_EQ(0, answer) << edit.name << " not killed";
                EXPECT_EQ(edit.after, Dictionary()) << edit.name << " not killed";
                break;
            }
            ++kills;
            EXPECT_EQ(1, GeoDictFind(data_.Name().c_str(), "Wlochy.GST")) << edit.name << ", killed at step " << k;
            Bytes now = Dictionary();
            EXPECT_TRUE(now == old_ || now == edit.after) << edit.name << ", killed at step " << k;
            EXPECT_FALSE(fs::exists(data_ / "Geodict.dct-journal")) << edit.name << ", killed at step " << k;
            EXPECT_TRUE(!fs::exists(data_ / "Geodict.001") || ReadFileBytes(data_ / "Geodict.001") == old_)
                << edit.name << ", killed at step " << k << ": a copy cut short";
            // The next edit removes a copy the kill left in progress.
            GeoDictRemove(data_.Name().c_str(), "no such map set");
            EXPECT_FALSE(fs::exists(data_ / "Geodict.~cp")) << edit.name << ", killed at step " << k;
        }
        EXPECT_GT(kills, 10) << edit.name;
        std::printf("  %s: killed at each of %d steps\n", edit.name, kills);
    }
}
#endif

#ifndef _WIN32
// What the next call will do with the journal beside the dictionary in
// `mapDataDir`.
JournalFinding InspectJournalOf(const std::string &mapDataDir)
{
    DictionaryFolder folder;
    return OpenDictionaryFolder(mapDataDir.c_str(), folder).Ok() ? InspectJournal(folder).finding
                                                                 : JournalFinding::Unreadable;
}

// Support staff's restore: over an edit a crash left half done, the
// journal is rolled back first and the dictionary it replaces kept; killed
// at every step itself, the next call finds the old or the restored bytes,
// and every numbered copy is whole.
TEST_F(ExportFaults, ARestoreOverACrashAndKilledAtEveryStepLeavesTheOldOrTheRestoredDictionary)
{
    const Bytes restored = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST restored")});
    auto killedAt = [](int k, const std::function<bool()> &call) { return RunKilledBefore(k, call) < 0; };
    // A removal killed once its journal is whole and the dictionary changing.
    int k = 1;
    for (; k < 100; ++k) {
        Arrange();
        ASSERT_TRUE(killedAt(k, [&] { return ClearGeoDict(owner_, "", "", data_.Name().c_str(), "") == 1; }));
        if (InspectJournalOf(data_.Name()) == JournalFinding::RollsBack && Dictionary() != old_)
            break;
    }
    ASSERT_LT(k, 100) << "no kill left a journal to roll back";
    WriteFileBytes(data_ / "Geodict.005", restored);
    EXPECT_TRUE(RestoreNumberedCopy(data_.Name().c_str(), 5).Ok());
    EXPECT_EQ(restored, Dictionary());
    EXPECT_EQ(JournalFinding::None, InspectJournalOf(data_.Name()));
    EXPECT_EQ(old_, ReadFileBytes(data_ / "Geodict.002")) << "the dictionary it replaced, rolled back first";

    int kills = 0;
    for (k = 1; k < 200; ++k) {
        Arrange();
        WriteFileBytes(data_ / "Geodict.005", restored);
        if (!killedAt(k, [&] { return RestoreNumberedCopy(data_.Name().c_str(), 5).Ok(); }))
            break;
        ++kills;
        GeoDictFind(data_.Name().c_str(), "");
        EXPECT_TRUE(Dictionary() == old_ || Dictionary() == restored) << "killed at step " << k;
        for (const auto &[name, bytes] : Files()) {
            if (name != "Geodict.dct" && name != "Geodict.000" && name != "Geodict.~cp") {
                EXPECT_TRUE(bytes == old_ || bytes == restored) << name << ", killed at step " << k;
            }
        }
    }
    EXPECT_GT(kills, 10);
    EXPECT_EQ(restored, Dictionary()) << "the restore not killed";
}
#endif

TEST_F(ExportFaults, QueriesAnswerMinusOneAndChangeNothing)
{
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        Loop(kind,
            [&] {
                int found = GeoDictFind(data_.Name().c_str(), "Niemcy");
                int installed = VorezuInstalled(data_.Name().c_str());
                EXPECT_TRUE(found == 1 || found == -1) << found;
                EXPECT_TRUE(installed == 1 || installed == -1) << installed;
                return Outcome{found == 1 && installed == 1, 0};
            },
            [&](const Outcome &outcome, int) {
                EXPECT_EQ(0u, outcome.messages);
                EXPECT_EQ(old_, Dictionary());
            }, Operation::Any, [&](wchar_t *text, int) {
                text[0] = L'\0';
                const bool found = GeoDictFindW(wide_.WideName().c_str(), "Niemcy") == 1;
                return found && VorezuInstalledW(wide_.WideName().c_str()) == 1 ? 0 : -1;
            });
    }
}

TEST_F(ExportFaults, FileSearchAnswersMinusTwoOrTheOffset)
{
    Bytes big = Concat({Bytes(250000, 'x'), ToBytes("needle")});
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        Loop(kind,
            [&] {
                WriteFileBytes(data_ / "big.bin", big);
                int offset = FindStringInFile((data_ / "big.bin").string().c_str(), "needle");
                EXPECT_TRUE(offset == 250000 || offset == -2) << offset;
                return Outcome{offset == 250000, 0};
            },
            [&](const Outcome &outcome, int) { EXPECT_EQ(0u, outcome.messages); }, Operation::Any,
            [&](wchar_t *text, int) {
                WriteFileBytes(wide_ / "big.bin", big);
                text[0] = L'\0';
                return FindStringInFileW((wide_.WideName() + L"/big.bin").c_str(), "needle") == 250000 ? 0 : -1;
            });
    }
}

#ifndef _WIN32
// The map data directory's path taken over during a call: before each of
// its file operations in turn, the folder is moved away and a link to
// another folder holding files of the same names (a journal that would
// roll back included) put in its place. Every later step stays in the
// folder the call opened, so the other folder never changes.
TEST_F(ExportFaults, AFolderSwappedForALinkDuringACallSendsNoStepElsewhere)
{
    Arrange();
    TempDirectory parent, elsewhere;
    const fs::path maps = parent / "maps", moved = parent / "moved";
    const std::map<std::string, Bytes> theirs = {
        {"Geodict.dct", Concat({MakeRecord("Niemcy.GST"), MakeRecord("Pols0000.GST elsewhere")})},
        {"Geodict.dct-journal", MakeJournal(MakeRecord("Czechy.GST"), 0)},
        {"Geodict.~cp", ToBytes("elsewhere's copy in progress")},
    };
    const std::string folder = maps.string(), source = source_.Name();
    const std::function<bool()> calls[] = {
        [&] { return VorezuInstalled(folder.c_str()) == 1; },
        [&] { return SetGeoDict(owner_, "", source.c_str(), folder.c_str(), "") == 1; },
    };
    auto arrange = [&] {
        fs::remove_all(maps);
        fs::remove_all(moved);
        fs::create_directory(maps);
        WriteFileBytes(maps / "Geodict.dct", Concat({old_, ToBytes("half")}));
        WriteFileBytes(maps / "Geodict.dct-journal", MakeJournal(old_, static_cast<uint32_t>(old_.size())));
        for (const auto &[name, bytes] : theirs)
            WriteFileBytes(elsewhere / name, bytes);
        fault::Reset();
    };
    for (const auto &call : calls) {
        // Swapped before the folder is opened, the link is the folder.
        int opened = 0;
        arrange();
        fault::Before(Operation::OpenFolder, 1, [&] { opened = fault::OperationsCounted(); });
        call();
        ASSERT_GT(opened, 0);
        for (int k = opened + 1;; ++k) {
            arrange();
            MessageCapture capture;
            fault::Before(Operation::Any, k, [&] {
                fs::rename(maps, moved);
                fs::create_directory_symlink(elsewhere.Path(), maps);
            });
            call();
            const bool swapped = fault::OperationsCounted() >= k;
            fault::Reset();
            for (const auto &[name, bytes] : theirs)
                EXPECT_EQ(bytes, ReadFileBytes(elsewhere / name)) << name << ", swapped before operation " << k;
            EXPECT_EQ(3u, elsewhere.Listing().size()) << "swapped before operation " << k;
            if (!swapped) {
                std::printf("  swapped before each of %d operations after the folder's open\n", k - opened - 1);
                break;
            }
        }
    }
}
#endif

TEST_F(ExportFaults, DirectoryDiscoveryFailsWithMessage17OrFindsTheDerivedDirectory)
{
    TestRegistry registry;
    TempDirectory commonFiles;
    PlaceHostUnderCommonFiles(registry, commonFiles, old_);
    const Twin findMapDataDir = [&](wchar_t *text, int chars) {
        registry.DeleteKey("Software\\Microsoft\\Shared Tools\\Map");
        wchar_t target[260] = L"untouched";
        return FindMapDataDirW(target, text, chars);
    };
    for (Fault kind : {Fault::Fail, Fault::Short}) {
        int injected = Loop(kind,
            [&] {
                registry.DeleteKey("Software\\Microsoft\\Shared Tools\\Map");
                char target[260] = "untouched";
                bool found = SetInstallDir(owner_, "", "", target, "") == 1;
                EXPECT_TRUE(found || std::string(target) == "untouched");
                return Outcome{found, 0};
            },
            [&](const Outcome &outcome, int k) { ExpectReported(outcome, k); }, Operation::Any, findMapDataDir);
        EXPECT_GE(injected, 1);
    }
    EXPECT_EQ(twinsCompared_, twinsAgreed_);
    std::printf("  FindMapDataDir gave SetInstallDir's answer and text in %d of %d cases\n", twinsAgreed_,
                twinsCompared_);
}

}  // namespace
}  // namespace dorvan::test
