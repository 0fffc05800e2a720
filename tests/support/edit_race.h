// Several processes editing one dictionary at once. Each racer makes
// random calls of every kind under names of its own and logs each call
// before it is made and its answer after, so that a racer killed in a
// call leaves that call open. The check replays every log against the
// dictionary and the numbered copies as they are after one quiet call:
// each racer's records are there as its answers say (an open call either
// way), no record is torn, every numbered copy is whole and there is one
// for each edit that made one, and every query answered 0 or 1.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "test_files.h"

namespace dorvan::test {

// The calls a racer makes, as its library offers them: `install` and
// `uninstall` answer success as true.
struct RaceCalls {
    std::function<bool()> install, uninstall;
    std::function<int()> installed;
    std::function<int(const char *name)> find, remove;
    std::function<int(const char *file)> glue;
};

// What the map data directory holds when the race starts, and the entry
// in the setup's folder that `install` registers.
Bytes RaceDictionary();
Bytes RaceEntry();

// Makes `count` random calls (`seed` chooses them) as racer `id`, each
// file it glues written at `glue`, its log at `log`.
void Race(const RaceCalls &calls, int id, int count, unsigned seed, const std::string &glue, const std::string &log);

// What the logs and the folder `data` show that should not be; empty when
// all is well. `failures` receives how many calls answered failure.
std::vector<std::string> CheckRace(const std::filesystem::path &data, const std::vector<std::string> &logs,
                                   int &failures);

}  // namespace dorvan::test
