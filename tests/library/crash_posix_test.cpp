// A child process killed at random moments while it edits a large
// dictionary with each of the four editing exports. One call of an export
// follows each kill; after it the dictionary holds exactly its old or its
// new bytes. DORVAN_CRASH_KILLS sets the number of kills per export
// (scripts/crash runs a thousand and more). Then eight processes race on
// one dictionary, on their own and with one killed every 25 to 75 ms
// (DORVAN_RACE_SECONDS long), and the dictionary and its copies hold what
// their answers say.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include "dictionary_builder.h"
#include "dorvan_setup.h"
#include "edit_race.h"
#include "library_exports.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct KilledEdit {
    const char *name;
    std::function<bool()> call;
    const Bytes &before, &after;
    bool repeatable;  // a second call leaves the same dictionary
};

class CrashDuringEdit : public testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 random(3);
        while (old_.size() < 8u << 20) {
            Bytes record = MakeRecord(random() % 2 ? "Wlochy00.GST" : "Niemcy00.GST" + std::string(random() % 90, 'x'));
            old_.insert(old_.end(), record.begin(), record.end());
        }
        while (entry_.size() < 4u << 20) {
            Bytes record = MakeRecord("Pols0000.GST" + std::string(random() % 90, 'p'));
            entry_.insert(entry_.end(), record.begin(), record.end());
        }
        installed_ = Concat({old_, entry_});
        WriteFileBytes(source_ / "GeoExt.gxt", entry_);
    }

    void Place(const Bytes &dictionary)
    {
        for (const auto &entry : fs::directory_iterator(data_.Path()))
            fs::remove(entry.path());
        WriteFileBytes(data_ / "Geodict.dct", dictionary);
    }

    // Runs the edit in a child and kills it after `delay`.
    void KillDuring(const KilledEdit &edit, std::chrono::microseconds delay)
    {
        Place(edit.before);
        pid_t child = fork();
        if (child == 0)
            _exit(edit.call() ? 0 : 1);
        timespec pause{static_cast<time_t>(delay.count() / 1000000), static_cast<long>(delay.count() % 1000000) * 1000};
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }

    TempDirectory data_, source_;
    Bytes old_, entry_, installed_;
};

TEST_F(CrashDuringEdit, TheNextCallFindsTheOldOrTheNewDictionary)
{
    const std::string data = data_.Name(), source = source_.Name(), file = (source_ / "GeoExt.gxt").string();
    const LibraryExports &library = Library();
    const KilledEdit edits[] = {
        {"SetGeoDict", [&] { return library.SetGeoDict(nullptr, "", source.c_str(), data.c_str(), "") == 1; }, old_,
         installed_, true},
        {"ClearGeoDict", [&] { return library.ClearGeoDict(nullptr, "", "", data.c_str(), "") == 1; }, installed_,
         old_, true},
        {"GeoDictGlue", [&] { return library.GeoDictGlue(data.c_str(), file.c_str()) == 0; }, old_, installed_,
         false},
        {"GeoDictRemove", [&] { return library.GeoDictRemove(data.c_str(), "POLS0000.GST") == 1; }, installed_, old_,
         true},
    };
    const char *setting = std::getenv("DORVAN_CRASH_KILLS");
    const int kills = setting ? std::atoi(setting) : 12;

    std::mt19937 random(11);
    for (const KilledEdit &edit : edits) {
        // Kills land anywhere from the call's start to a little past its end.
        Place(edit.before);
        Clock::time_point start = Clock::now();
        ASSERT_TRUE(edit.call()) << edit.name;
        const auto span = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start) * 5 / 4;

        int rolledBack = 0, neither = 0;
        for (int i = 0; i < kills; ++i) {
            KillDuring(edit, std::chrono::microseconds(random() % (span.count() + 1)));
            rolledBack += fs::exists(data_ / "Geodict.dct-journal");
            // Every second kill is followed by the same edit again where a
            // second call changes nothing more (its answer may then say
            // there was nothing left to do), else by a query.
            const bool again = edit.repeatable && i % 2 == 1;
            if (again)
                edit.call();
            else
                EXPECT_GE(library.VorezuInstalled(data.c_str()), 0) << edit.name << " after a kill";
            Bytes now = ReadFileBytes(data_ / "Geodict.dct");
            bool whole = again ? now == edit.after : now == edit.before || now == edit.after;
            neither += !whole;
            EXPECT_TRUE(whole) << edit.name << ", kill " << i;
            EXPECT_FALSE(fs::exists(data_ / "Geodict.dct-journal")) << edit.name << ", kill " << i;
            // Every numbered copy is whole; a copy in progress that the kill
            // left goes with the next edit.
            for (const auto &file : fs::directory_iterator(data_.Path())) {
                const std::string name = file.path().filename().string();
                if (name == "Geodict.~cp") {
                    EXPECT_FALSE(again) << edit.name << ", kill " << i << ": a copy in progress left";
                } else if (name != "Geodict.dct") {
                    const Bytes copy = ReadFileBytes(file.path());
                    EXPECT_TRUE(copy == edit.before || copy == edit.after)
                        << edit.name << ", kill " << i << ": " << name << " is no whole dictionary";
                }
            }
        }
        std::printf("  %s: %d kills within %lld us, %d found with a journal to roll back, %d left neither old nor "
                    "new\n",
                    edit.name, kills, static_cast<long long>(span.count()), rolledBack, neither);
    }
}

// Racers with an even number install as Dorvan.dll's actions do, the
// others as DorvanSetup.dll's.
RaceCalls RacerCalls(int id, const std::string &data, const std::string &source)
{
    const LibraryExports &library = Library();
    RaceCalls calls;
    calls.install = [=, &library] {
        wchar_t message[512];
        return id % 2 ? ::RegisterMapSet(source.c_str(), data.c_str(), message, 512) == 0
                      : library.SetGeoDict(nullptr, "", source.c_str(), data.c_str(), "") == 1;
    };
    calls.uninstall = [=, &library] {
        wchar_t message[512];
        return id % 2 ? ::UnregisterMapSet(data.c_str(), message, 512) == 0
                      : library.ClearGeoDict(nullptr, "", "", data.c_str(), "") == 1;
    };
    calls.installed = [=, &library] { return library.VorezuInstalled(data.c_str()); };
    calls.find = [=, &library](const char *name) { return library.GeoDictFind(data.c_str(), name); };
    calls.remove = [=, &library](const char *name) { return library.GeoDictRemove(data.c_str(), name); };
    calls.glue = [=, &library](const char *file) { return library.GeoDictGlue(data.c_str(), file); };
    return calls;
}

TEST_F(CrashDuringEdit, RacersLeaveWhatTheirAnswersSay)
{
    const std::string data = data_.Name(), source = source_.Name();
    const char *setting = std::getenv("DORVAN_RACE_SECONDS");
    const auto racing = std::chrono::milliseconds(setting ? std::atoi(setting) * 1000 : 2000);
    std::mt19937 random(17);
    for (const bool killing : {false, true}) {
        Place(RaceDictionary());
        WriteFileBytes(source_ / "GeoExt.gxt", RaceEntry());
        TempDirectory scratch("race");
        std::vector<std::string> logs;
        std::vector<pid_t> racers;
        const auto start = [&] {
            const int id = static_cast<int>(logs.size());
            logs.push_back((scratch / ("racer" + std::to_string(id) + ".log")).string());
            const pid_t child = fork();
            if (child == 0) {
                Race(RacerCalls(id, data, source), id, killing ? 1 << 30 : 200, 100 + id,
                     (scratch / ("glue" + std::to_string(id) + ".gxt")).string(), logs.back());
                _exit(0);
            }
            racers.push_back(child);
        };
        while (racers.size() < 8)
            start();
        for (const auto end = Clock::now() + racing; killing && Clock::now() < end;) {
            const timespec pause{0, static_cast<long>(25 + random() % 51) * 1000000};
            nanosleep(&pause, nullptr);
            const size_t victim = random() % racers.size();
            kill(racers[victim], SIGKILL);
            waitpid(racers[victim], nullptr, 0);
            racers.erase(racers.begin() + static_cast<long>(victim));
            start();
        }
        for (pid_t racer : racers) {
            if (killing)
                kill(racer, SIGKILL);
            waitpid(racer, nullptr, 0);
        }
        const int quiet = Library().VorezuInstalled(data.c_str());
        EXPECT_TRUE(quiet == 0 || quiet == 1) << "the quiet call answered " << quiet;
        int failures = 0;
        for (const std::string &problem : CheckRace(data_.Path(), logs, failures))
            ADD_FAILURE() << (killing ? "with kills: " : "") << problem;
        if (!killing) {
            EXPECT_EQ(failures, 0) << "calls that answered failure while waiting their turn";
        }
    }
}

}  // namespace
}  // namespace dorvan::test
