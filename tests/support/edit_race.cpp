#include "edit_race.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "dictionary_builder.h"

namespace dorvan::test {

namespace {

const char *const HostRecords[] = {"Wlochy00.GST Italy", "Niemcy00.GST Germany"};
const char *const EntryRecords[] = {"Pols0000.GST Poland", "Pols0000.GST regions"};

// Calls `each(text)` for every record of `bytes`; false where a stretch is
// no whole record: something was torn.
template <typename Each>
bool WalkRecords(const Bytes &bytes, Each each)
{
    for (size_t at = 0; at < bytes.size();) {
        if (bytes.size() - at < 8 || std::string(bytes.begin() + at, bytes.begin() + at + 4) != "LBTG" ||
            bytes.size() - at < size_t{bytes[at + 4]} + 8u)
            return false;
        each(std::string(bytes.begin() + at + 8, bytes.begin() + at + 8 + bytes[at + 4]));
        at += bytes[at + 4] + 8u;
    }
    return true;
}

// The racer's record counts each name may have, from its answers.
using Possible = std::map<std::string, std::set<int>>;

// Keeps the counts for which `holds` is true; false when none is left.
template <typename Holds>
bool Keep(std::set<int> &counts, Holds holds)
{
    for (auto at = counts.begin(); at != counts.end();)
        at = holds(*at) ? std::next(at) : counts.erase(at);
    return !counts.empty();
}

}  // namespace

Bytes RaceDictionary()
{
    return Concat({MakeRecord(HostRecords[0]), MakeRecord(HostRecords[1])});
}

Bytes RaceEntry()
{
    return Concat({MakeRecord(EntryRecords[0]), MakeRecord(EntryRecords[1])});
}

void Race(const RaceCalls &calls, int id, int count, unsigned seed, const std::string &glue, const std::string &log)
{
    std::mt19937 random(seed);
    FILE *out = std::fopen(log.c_str(), "w");
    std::setvbuf(out, nullptr, _IONBF, 0);
    for (int call = 0; call < count; ++call) {
        char name[32];
        std::snprintf(name, sizeof name, "R%03dN%u.GST", id, static_cast<unsigned>(random() % 3));
        const unsigned pick = random() % 100;
        int answer = 0;
        if (pick < 30) {
            const int records = 1 + static_cast<int>(random() % 3);
            Bytes bytes;
            for (int record = 0; record < records; ++record)
                bytes = Concat({bytes, MakeRecord(name + (" " + std::to_string(call) + "." + std::to_string(record)))});
            WriteFileBytes(glue, bytes);
            std::fprintf(out, "glue %s %d", name, records);
            answer = calls.glue(glue.c_str());
        } else if (pick < 50) {
            std::fprintf(out, "remove %s 0", name);
            answer = calls.remove(name);
        } else if (pick < 75) {
            std::fprintf(out, "find %s 0", name);
            answer = calls.find(name);
        } else if (pick < 85) {
            std::fprintf(out, "installed - 0");
            answer = calls.installed();
        } else if (pick < 92) {
            std::fprintf(out, "install - 0");
            answer = calls.install();
        } else {
            std::fprintf(out, "uninstall - 0");
            answer = calls.uninstall();
        }
        std::fprintf(out, " %d\n", answer);
    }
    std::fclose(out);
}

std::vector<std::string> CheckRace(const std::filesystem::path &data, const std::vector<std::string> &logs,
                                   int &failures)
{
    std::vector<std::string> problems;
    Possible possible;
    int installs = 0, uninstalls = 0, open = 0;
    failures = 0;
    for (const std::string &log : logs) {
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string op, name;
            int records = 0, answer = 0;
            fields >> op >> name >> records;
            const bool answered = static_cast<bool>(fields >> answer);
            open += !answered;
            std::set<int> &counts = possible.try_emplace(name, std::set<int>{0}).first->second;
            bool consistent = true;
            if (op == "glue" && (!answered || answer == 0)) {
                std::set<int> after;
                for (int count : counts) {
                    after.insert(count + records);
                    if (!answered)
                        after.insert(count);
                }
                counts = after;
            } else if (op == "remove" && (!answered || answer >= 0)) {
                if (answered)
                    consistent = Keep(counts, [&](int count) { return (count > 0) == (answer == 1); });
                if (!answered || answer == 1)
                    counts.insert(0);
                if (answered && answer == 1)
                    counts = {0};
            } else if (op == "find" && answered) {
                consistent = (answer == 0 || answer == 1) &&
                             Keep(counts, [&](int count) { return (count > 0) == (answer == 1); });
            } else if (op == "installed" && answered && answer != 0 && answer != 1) {
                consistent = false;
            }
            const bool edit = op == "glue" || op == "remove", action = op == "install" || op == "uninstall";
            installs += op == "install" && answer == 1;
            uninstalls += op == "uninstall" && answer == 1;
            failures += answered && ((edit && answer == -1) || (action && answer != 1));
            if (!consistent)
                problems.push_back(log + ": \"" + line + "\" does not fit the answers before it");
        }
    }

    std::map<std::string, int> present;
    int entryRecords = 0;
    const auto known = [&](const std::string &text, const std::string &where) {
        const std::string name = text.substr(0, text.find(' '));
        if (name == "Pols0000.GST")
            ++entryRecords;
        else if (possible.count(name))
            ++present[name];
        else if (text != HostRecords[0] && text != HostRecords[1])
            problems.push_back(where + ": a record no racer wrote: " + text);
    };
    if (!WalkRecords(ReadFileBytes(data / "Geodict.dct"), [&](const std::string &text) { known(text, "dictionary"); }))
        problems.push_back("the dictionary holds a torn record");
    for (const auto &[name, counts] : possible) {
        if (name != "-" && !counts.count(present[name]))
            problems.push_back(name + ": " + std::to_string(present[name]) + " records, not what the answers say");
    }
    if (entryRecords != 0 && entryRecords != 2)
        problems.push_back("the entry is there " + std::to_string(entryRecords) + " records strong");

    int copies = 0;
    for (const auto &file : std::filesystem::directory_iterator(data)) {
        const std::string name = file.path().filename().string();
        // "Geodict.000" on, "Geodict.1000" after "Geodict.999".
        if (name.size() < 11 || name.compare(0, 8, "Geodict.") != 0 ||
            name.find_first_not_of("0123456789", 8) != std::string::npos)
            continue;
        ++copies;
        std::map<std::string, int> ignored;
        std::swap(ignored, present);
        if (!WalkRecords(ReadFileBytes(file.path()), [&](const std::string &text) { known(text, name); }))
            problems.push_back(name + " is no whole dictionary");
        std::swap(ignored, present);
    }
    // Each successful uninstall leaves a copy, an install one when it
    // appends, and a call killed on its way may have left one.
    if (copies < uninstalls || copies > installs + uninstalls + open)
        problems.push_back(std::to_string(copies) + " numbered copies for " + std::to_string(installs) +
                           " installs and " + std::to_string(uninstalls) + " uninstalls");
    return problems;
}

}  // namespace dorvan::test
