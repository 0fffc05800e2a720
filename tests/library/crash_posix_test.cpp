// A child process killed at random moments while it registers or removes
// the map set: afterwards the dictionary holds its old or its new bytes, or
// a numbered copy beside it holds the old ones.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "dictionary_builder.h"
#include "library_exports.h"
#include "test_files.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

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

    // Runs `edit` in a child on a dictionary holding `before`, kills it
    // after `delay`, and judges what is left. Returns whether the
    // dictionary itself was neither its old nor its new content.
    template <typename Edit>
    bool KillDuring(const Bytes &before, const Bytes &after, std::chrono::microseconds delay, Edit edit)
    {
        for (const auto &entry : fs::directory_iterator(data_.Path()))
            fs::remove(entry.path());
        WriteFileBytes(data_ / "Geodict.dct", before);
        pid_t child = fork();
        if (child == 0)
            _exit(edit() ? 0 : 1);
        timespec pause{0, static_cast<long>(delay.count()) * 1000};
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        Bytes now = ReadFileBytes(data_ / "Geodict.dct");
        if (now == before || now == after)
            return false;
        bool copied = false;
        for (const auto &entry : fs::directory_iterator(data_.Path()))
            copied = copied || (entry.path().filename() != "Geodict.dct" && ReadFileBytes(entry.path()) == before);
        EXPECT_TRUE(copied) << "dictionary lost after a kill at " << delay.count() << " us";
        return true;
    }

    TempDirectory data_, source_;
    Bytes old_, entry_, installed_;
};

TEST_F(CrashDuringEdit, NothingIsLostWhereverTheEditStops)
{
    std::mt19937 random(11);
    int trials = 0, partial = 0;
    for (int i = 0; i < 60; ++i) {
        std::chrono::microseconds delay(random() % 40000);
        partial += KillDuring(old_, installed_, delay, [&] {
            return Library().SetGeoDict(nullptr, "", source_.Name().c_str(), data_.Name().c_str(), "") == 1;
        });
        partial += KillDuring(installed_, old_, delay, [&] {
            return Library().ClearGeoDict(nullptr, "", "", data_.Name().c_str(), "") == 1;
        });
        trials += 2;
    }
    RecordProperty("trials", trials);
    RecordProperty("partial", partial);
    std::printf("%d kills, %d left the dictionary between its old and new content with a copy of the old\n", trials,
                partial);
}

}  // namespace
}  // namespace dorvan::test
