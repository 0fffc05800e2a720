// Every file operation and heap block of every export made to fail in
// turn, and made to come back short: no crash, nothing left acquired, the
// failure reported, and the dictionary and its copies never lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "dictionary_builder.h"
#include "dorvan.h"
#include "fault_injection.h"
#include "message_capture.h"
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
};

class ExportFaults : public testing::Test {
protected:
    void Arrange()
    {
        for (const auto &entry : fs::directory_iterator(data_.Path()))
            fs::remove(entry.path());
        WriteFileBytes(dictionaryPath_, old_);
        WriteFileBytes(earlierCopy_, ToBytes("an earlier copy"));
        WriteFileBytes(source_ / "GeoExt.gxt", entry_);
    }

    // Runs `call` once with the k-th operation failing (or short) for every
    // k until a run passes without reaching the fault; `check` judges each
    // run. Returns the number of faults injected.
    int Loop(Fault kind, const std::function<Outcome()> &call, const std::function<void(const Outcome &, int)> &check)
    {
        int injected = 0;
        for (int k = 1;; ++k) {
            Arrange();
            MessageCapture capture;
            fault::Arm(Operation::Any, k, kind);
            Outcome outcome = call();
            outcome.messages = capture.Messages().size();
            bool reached = fault::Triggered();
            fault::Reset();
            EXPECT_EQ(0, fault::OpenHandles()) << "fault at operation " << k;
            EXPECT_EQ(0, fault::LiveBlocks()) << "fault at operation " << k;
            EXPECT_EQ(ToBytes("an earlier copy"), ReadFileBytes(earlierCopy_)) << "copy written over, fault " << k;
            if (!reached) {
                EXPECT_TRUE(outcome.succeeded) << "the run without a fault";
                std::printf("%s: %d faults injected (%s)\n", testing::UnitTest::GetInstance()->current_test_info()->name(),
                            injected, kind == Fault::Fail ? "failures" : kind == Fault::Short ? "short, then full" : "short");
                return injected;
            }
            ++injected;
            check(outcome, k);
            if (HasFatalFailure() || k > 200)
                return injected;
        }
    }

    Bytes Dictionary() const { return ReadFileBytes(dictionaryPath_); }

    // A numbered copy other than the earlier one that holds `content`.
    bool CopyHolds(const Bytes &content) const
    {
        for (const auto &entry : fs::directory_iterator(data_.Path())) {
            std::string name = entry.path().filename().string();
            if (name != "Geodict.dct" && entry.path() != earlierCopy_ && ReadFileBytes(entry.path()) == content)
                return true;
        }
        return false;
    }

    TempDirectory data_, source_;
    const fs::path dictionaryPath_ = data_ / "Geodict.dct";
    const fs::path earlierCopy_ = data_ / "Geodict.000";
    const Bytes old_ = Concat({MakeRecord("Wlochy.GST"), MakeRecord("Pols0000.GST"), ToBytes("\x00opaque"),
                               MakeRecord("Niemcy.GST"), MakeRecord("POLS0000.gst")});
    const Bytes entry_ = Concat({MakeRecord("Pols0000.GST"), MakeRecord("Czechy.GST")});
    void *const owner_ = TestOwnerWindow();
};

// A failed installer action has shown exactly one message; success none.
void ExpectReported(const Outcome &outcome, int k)
{
    EXPECT_EQ(outcome.succeeded ? 0u : 1u, outcome.messages) << "fault at operation " << k;
}

TEST_F(ExportFaults, InstallLeavesTheOldOrTheNewDictionary)
{
    const Bytes installed = Concat({old_, entry_});
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        int injected = Loop(kind,
            [&] { return Outcome{SetGeoDict(owner_, "", source_.Name().c_str(), data_.Name().c_str(), "") == 1, 0}; },
            [&](const Outcome &outcome, int k) {
                ExpectReported(outcome, k);
                EXPECT_EQ(outcome.succeeded ? installed : old_, Dictionary()) << "fault at operation " << k;
            });
        EXPECT_GT(injected, 8);
    }
}

TEST_F(ExportFaults, UninstallLeavesTheOldOrTheNewDictionaryOrACopyOfTheOld)
{
    const Bytes removed = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST"),
                                  MakeRecord("POLS0000.gst")});
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        int injected = Loop(kind,
            [&] { return Outcome{ClearGeoDict(owner_, "", "", data_.Name().c_str(), "") == 1, 0}; },
            [&](const Outcome &outcome, int k) {
                ExpectReported(outcome, k);
                Bytes now = Dictionary();
                if (outcome.succeeded) {
                    EXPECT_EQ(removed, now) << "fault at operation " << k;
                } else {
                    EXPECT_TRUE(now == old_ || CopyHolds(old_)) << "fault at operation " << k;
                }
            });
        EXPECT_GT(injected, 8);
    }
}

TEST_F(ExportFaults, GlueLeavesTheOldOrTheNewDictionary)
{
    const std::string file = (source_ / "GeoExt.gxt").string();
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        int injected = Loop(kind,
            [&] { return Outcome{GeoDictGlue(data_.Name().c_str(), file.c_str()) == 0, 0}; },
            [&](const Outcome &outcome, int k) {
                EXPECT_EQ(0u, outcome.messages);
                EXPECT_EQ(outcome.succeeded ? Concat({old_, entry_}) : old_, Dictionary()) << "fault at operation " << k;
            });
        EXPECT_GT(injected, 6);
    }
}

TEST_F(ExportFaults, RemoveAnswersMinusOneOnEveryFailure)
{
    const Bytes removed = Concat({MakeRecord("Wlochy.GST"), ToBytes("\x00opaque"), MakeRecord("Niemcy.GST")});
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        Loop(kind,
            [&] {
                int code = GeoDictRemove(data_.Name().c_str(), "pols0000.gst");
                EXPECT_TRUE(code == 1 || code == -1) << code;
                return Outcome{code == 1, 0};
            },
            [&](const Outcome &outcome, int k) {
                EXPECT_EQ(0u, outcome.messages);
                // After a failed rewrite the dictionary may be incomplete;
                // only success promises its bytes.
                if (outcome.succeeded) {
                    EXPECT_EQ(removed, Dictionary()) << "fault at operation " << k;
                }
            });
    }
}

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
            });
    }
}

TEST_F(ExportFaults, FileSearchAnswersMinusTwoOrTheOffset)
{
    Bytes big = Concat({Bytes(250000, 'x'), ToBytes("needle")});
    const fs::path file = source_ / "big.bin";
    for (Fault kind : {Fault::Fail, Fault::Short, Fault::Partial}) {
        Loop(kind,
            [&] {
                WriteFileBytes(file, big);
                int offset = FindStringInFile(file.string().c_str(), "needle");
                EXPECT_TRUE(offset == 250000 || offset == -2) << offset;
                return Outcome{offset == 250000, 0};
            },
            [&](const Outcome &outcome, int) { EXPECT_EQ(0u, outcome.messages); });
    }
}

TEST_F(ExportFaults, DirectoryDiscoveryFailsWithMessage17OrFindsTheDerivedDirectory)
{
    TestRegistry registry;
    TempDirectory commonFiles;
    PlaceHostUnderCommonFiles(registry, commonFiles, old_);
    for (Fault kind : {Fault::Fail, Fault::Short}) {
        int injected = Loop(kind,
            [&] {
                registry.DeleteKey("Software\\Microsoft\\Shared Tools\\Map");
                char target[260] = "untouched";
                bool found = SetInstallDir(owner_, "", "", target, "") == 1;
                EXPECT_TRUE(found || std::string(target) == "untouched");
                return Outcome{found, 0};
            },
            [&](const Outcome &outcome, int k) { ExpectReported(outcome, k); });
        EXPECT_GE(injected, 1);
    }
}

}  // namespace
}  // namespace dorvan::test
