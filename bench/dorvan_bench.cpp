// Speed and memory of the library's heavy paths, each case measured on
// four kinds of data beside a floor or a peer in the same run: median of 5
// timed runs after a warm-up, case and floor taking turns. Each case's
// figure is its worst ratio over the data sets.
//
//   dorvan_bench DATA_FOLDER [--search-only | --dictionary-only]
//
// The data is generated deterministically in DATA_FOLDER.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "dorvan.h"
#ifdef DORVAN_BENCH_TIERS
#include "bytes/scan_tiers.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr size_t MiB = 1024 * 1024;
using Bytes = std::vector<uint8_t>;

double Seconds(const std::function<void()> &run)
{
    auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Writes the page cache's dirty pages out, so that one run's writing is
// not paid for by the next run.
void Settle()
{
#ifndef _WIN32
    sync();
#endif
}

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark result wrong: %s\n", what);
        std::exit(1);
    }
}

// Medians of 5 timed runs of a case and of each of its floors after one
// warm-up each, all taking turns so that drift of the machine touches them
// alike; `prepare` runs untimed before each run of the case.
std::vector<double> Medians(const std::function<void()> &run, const std::vector<std::function<void()>> &floors,
                            const std::function<void()> &prepare = [] {})
{
    std::vector<std::vector<double>> times(1 + floors.size());
    prepare();
    Settle();
    run();
    for (const auto &floor : floors)
        floor();
    for (int i = 0; i < 5; ++i) {
        prepare();
        Settle();
        times[0].push_back(Seconds(run));
        for (size_t f = 0; f < floors.size(); ++f) {
            Settle();
            times[1 + f].push_back(Seconds(floors[f]));
        }
    }
    std::vector<double> medians;
    for (auto &series : times) {
        std::sort(series.begin(), series.end());
        medians.push_back(series[2]);
    }
    return medians;
}

// The table: one row per case and data set, then each case's worst.
struct Worst {
    std::string name, dataSet, goal;
    double ratio, limit;
};
std::vector<Worst> Figures;

// The command-line tool, built beside the benchmark.
std::string Tool;

void Header()
{
    std::printf("| %-34s | %-10s | %8s | %9s | %-26s | %9s | %5s | %-8s |\n", "case", "data", "size", "median",
                "floor or peer", "median", "ratio", "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(12, '-').c_str(),
                std::string(10, '-').c_str(), std::string(11, '-').c_str(), std::string(28, '-').c_str(),
                std::string(11, '-').c_str(), std::string(7, '-').c_str(), std::string(10, '-').c_str());
}

// `limit` 0: shown, with no goal.
void Row(const char *name, const char *dataSet, size_t bytes, double time, const char *floorName, double floorTime,
         double limit, const char *goal = "")
{
    const double ratio = time / floorTime;
    std::printf("| %-34s | %-10s | %4.0f MiB | %6.1f ms | %-26s | %6.1f ms | %5.2f | %-8s |\n", name, dataSet,
                bytes / double(MiB), time * 1e3, floorName, floorTime * 1e3, ratio, goal);
    if (limit == 0)
        return;
    for (Worst &worst : Figures) {
        if (worst.name == name) {
            if (ratio > worst.ratio) {
                worst.ratio = ratio;
                worst.dataSet = dataSet;
            }
            return;
        }
    }
    Figures.push_back({name, dataSet, goal, ratio, limit});
}

void Summary()
{
    std::printf("\n| %-34s | %-10s | %5s | %-8s | %-4s |\n", "case, on its worst data set", "data", "ratio", "goal",
                "met");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(12, '-').c_str(),
                std::string(7, '-').c_str(), std::string(10, '-').c_str(), std::string(6, '-').c_str());
    for (const Worst &worst : Figures)
        std::printf("| %-34s | %-10s | %5.2f | %-8s | %-4s |\n", worst.name.c_str(), worst.dataSet.c_str(),
                    worst.ratio, worst.goal.c_str(), worst.ratio <= worst.limit ? "yes" : "no");
}

void WriteFile(const fs::path &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadWhole(const fs::path &path)
{
    Bytes bytes(fs::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The floor of the file search: the same file read in the same chunks,
// into a buffer on a cache line as the search's chunk is.
// With `absent`, each chunk is also passed over once by the C library's
// memchr, looking for a byte the file lacks: the least a search that scans
// each chunk after reading it can add.
void ReadInChunks(const fs::path &path, int absent = -1)
{
    alignas(64) static std::array<char, 102400> buffer;
#ifdef _WIN32
    int file = _open(path.string().c_str(), _O_RDONLY | _O_BINARY);
    for (int got; (got = _read(file, buffer.data(), 102400)) > 0;)
        Check(absent < 0 || std::memchr(buffer.data(), absent, static_cast<size_t>(got)) == nullptr, "byte absent");
    _close(file);
#else
    int file = open(path.c_str(), O_RDONLY);
    for (ssize_t got; (got = read(file, buffer.data(), 102400)) > 0;)
        Check(absent < 0 || std::memchr(buffer.data(), absent, static_cast<size_t>(got)) == nullptr, "byte absent");
    close(file);
#endif
}

// An open file to write, created when missing and emptied when asked; made
// durable, cut and closed below.
int OpenToWrite(const fs::path &path, bool empty)
{
#ifdef _WIN32
    return _open(path.string().c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | (empty ? _O_TRUNC : 0), 0600);
#else
    return open(path.c_str(), O_WRONLY | O_CREAT | (empty ? O_TRUNC : 0), 0644);
#endif
}

// Writes `count` bytes at `offset`, taken from `bytes` from `from` on, over
// and over.
void WriteRepeated(int handle, size_t offset, const Bytes &bytes, size_t count, size_t from = 0)
{
    for (size_t done = 0; done < count;) {
        const size_t piece = std::min(count - done, bytes.size() - from);
#ifdef _WIN32
        Check(_lseeki64(handle, static_cast<long long>(offset + done), SEEK_SET) >= 0 &&
                  _write(handle, bytes.data() + from, static_cast<unsigned>(piece)) == static_cast<int>(piece),
              "written");
#else
        Check(pwrite(handle, bytes.data() + from, piece, static_cast<off_t>(offset + done)) ==
                  static_cast<ssize_t>(piece),
              "written");
#endif
        done += piece;
    }
}

void Finish(int handle, bool durable, long long length = -1)
{
#ifdef _WIN32
    Check((length < 0 || _chsize_s(handle, length) == 0) && (!durable || _commit(handle) == 0) && _close(handle) == 0,
          "finished");
#else
    Check((length < 0 || ftruncate(handle, length) == 0) && (!durable || fsync(handle) == 0) && close(handle) == 0,
          "finished");
#endif
}

// Reads `from` whole and writes `count` of its bytes (repeated as needed)
// to `to`, made durable when asked: the floor of an edit that reads the
// dictionary whole and writes as many bytes.
void CopyFloor(const fs::path &from, const fs::path &to, size_t count, bool durable)
{
    const Bytes bytes = ReadWhole(from);
    const int handle = OpenToWrite(to, true);
    Check(handle >= 0, "copy opened");
    WriteRepeated(handle, 0, bytes, count);
    Finish(handle, durable);
}

// The least an edit under a rollback journal can do: read the dictionary
// whole; write a numbered copy of it durably, when asked; write the old
// bytes from `firstChanged` on to a journal durably; rewrite the dictionary
// from there on in place, cut to `newLength`, durably; remove the journal.
void JournalledEditFloor(const fs::path &dictionary, bool numberedCopy, size_t firstChanged, size_t newLength)
{
    const Bytes bytes = ReadWhole(dictionary);
    const fs::path journal = dictionary.string() + "-floor-journal";
    if (numberedCopy) {
        const int copy = OpenToWrite(dictionary.string() + ".floor-copy", true);
        Check(copy >= 0, "numbered copy opened");
        WriteRepeated(copy, 0, bytes, bytes.size());
        Finish(copy, true);
    }
    const int saved = OpenToWrite(journal, true);
    Check(saved >= 0, "journal opened");
    WriteRepeated(saved, 0, bytes, bytes.size() - firstChanged, firstChanged);
    Finish(saved, true);
    const int rewritten = OpenToWrite(dictionary, false);
    Check(rewritten >= 0, "dictionary opened");
    WriteRepeated(rewritten, firstChanged, bytes, newLength - firstChanged);
    Finish(rewritten, true, static_cast<long long>(newLength));
    fs::remove(journal);
}

// The four kinds of data every case runs on.
enum class DataSet { UpperNames, LowerText, RandomBytes, Repetitive };
constexpr DataSet DataSets[] = {DataSet::UpperNames, DataSet::LowerText, DataSet::RandomBytes, DataSet::Repetitive};

const char *NameOf(DataSet set)
{
    switch (set) {
    case DataSet::UpperNames: return "upper-case";
    case DataSet::LowerText: return "lower-case";
    case DataSet::RandomBytes: return "random";
    case DataSet::Repetitive: return "repetitive";
    }
    return "";
}

// `count` characters drawn from `alphabet`.
std::string Draw(std::mt19937 &random, const char *alphabet, size_t count)
{
    const size_t size = std::strlen(alphabet);
    std::string text(count, ' ');
    for (char &c : text)
        c = alphabet[random() % size];
    return text;
}

// One record's text: a map file's name, then a description in the data
// set's kind; `polish` names the Poland map file.
std::string RecordText(DataSet set, std::mt19937 &random, bool polish)
{
    switch (set) {
    case DataSet::UpperNames:
        return (polish ? "Pols0000.GST" : Draw(random, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 8) + ".GST") + " " +
               Draw(random, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", 40 + random() % 80);
    case DataSet::LowerText: {
        std::string text = polish ? "Pols0000.GST" : Draw(random, "abcdefghijklmnopqrstuvwxyz", 8) + ".gst";
        while (text.size() < 60 + random() % 80)
            text += " " + Draw(random, "etaoinshrdlcumwfgypbvkjxqz", 2 + random() % 6);
        return text;
    }
    case DataSet::RandomBytes: {
        std::string text = polish ? "Pols0000.GST" : Draw(random, "0123456789", 8) + ".GST";
        for (size_t i = 40 + random() % 80; i > 0; --i)
            text += static_cast<char>(random());
        return text;
    }
    case DataSet::Repetitive:
        return (polish ? "Pols0000.GST" : "AAAAAAAA.GST") + std::string(60 + random() % 60, 'A');
    }
    return "";
}

Bytes Record(const std::string &text)
{
    std::string record = "LBTG";
    record += static_cast<char>(text.size());
    record += "\x01\x02\x03" + text;
    return Bytes(record.begin(), record.end());
}

// A dictionary of `size` bytes: records, every second naming the Poland map
// file when asked, and a few opaque bytes between some.
Bytes MakeDictionary(DataSet set, size_t size, bool halfPolish)
{
    std::mt19937 random(64);
    Bytes data;
    data.reserve(size + 300);
    for (size_t i = 0; data.size() < size; ++i) {
        Bytes r = Record(RecordText(set, random, halfPolish && i % 2 == 1));
        data.insert(data.end(), r.begin(), r.end());
        if (i % 7 == 0)
            for (int j = 0; j < 9; ++j)
                data.push_back(static_cast<uint8_t>(set == DataSet::Repetitive ? 'A' : random() % 64));
    }
    return data;
}

// A string made like the data set's own, found nowhere in it.
std::string AbsentString(DataSet set)
{
    switch (set) {
    case DataSet::UpperNames: return "QZ7XW2KD.GST";
    case DataSet::LowerText: return "qzxwkdmv.gst";
    case DataSet::RandomBytes: return "\x9e\x17\xc3\x5a\xe1\x08\x7f\xb2\x44\xd9\x31\xa6";
    case DataSet::Repetitive: return "AAAAAAAA.GSA";
    }
    return "";
}

// A file for the file search: the data set's dictionary-like stream (pure
// random bytes for the random set), `size` bytes, then `tail`.
void MakeSearchFile(const fs::path &path, DataSet set, size_t size, const std::string &tail)
{
    if (fs::exists(path) && fs::file_size(path) == size + tail.size())
        return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::mt19937_64 random(1);
    Bytes piece = set == DataSet::RandomBytes ? Bytes(8 * MiB) : MakeDictionary(set, 8 * MiB, true);
    piece.resize(8 * MiB);
    for (size_t done = 0; done < size; done += piece.size()) {
        if (set == DataSet::RandomBytes)
            for (size_t i = 0; i < piece.size(); i += 8) {
                uint64_t v = random();
                std::memcpy(piece.data() + i, &v, 8);
            }
        out.write(reinterpret_cast<const char *>(piece.data()),
                  static_cast<std::streamsize>(std::min(piece.size(), size - done)));
    }
    out << tail;
}

#ifndef _WIN32
long PeakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Peak resident memory growth of one search, measured in a fresh process.
long SearchMemoryGrowthKiB(const fs::path &file, const std::string &text)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    pid_t child = fork();
    if (child == 0) {
        long before = PeakResidentKiB();
        FindStringInFile(file.c_str(), text.c_str());
        long growth = PeakResidentKiB() - before;
        (void)!write(pipeEnds[1], &growth, sizeof growth);
        _exit(0);
    }
    long growth = -1;
    (void)!read(pipeEnds[0], &growth, sizeof growth);
    waitpid(child, nullptr, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return growth;
}
#endif

// FindStringInFile on one data set: 256 MiB, then the string, against
// reading the file in the same chunks, and with `peers` against grep and a
// pass of memchr.
void SearchCase(const fs::path &folder, DataSet set, size_t size, const char *name, bool peers)
{
    const std::string needle = AbsentString(set) + "#end";
    const fs::path file = folder / (std::string("search-") + NameOf(set) + ".bin");
    MakeSearchFile(file, set, size, needle);
    Settle();
    int found = 0;
    std::vector<std::function<void()>> floors = {[&] { ReadInChunks(file); }};
#ifdef _WIN32
    (void)peers;  // neither grep nor a shell to start it
#else
    const std::string grep = "grep -F -a -b -o -m1 '" + needle + "' '" + file.string() + "' >/dev/null";
    if (peers && set != DataSet::RandomBytes) {  // a quoted random string is no shell word; every byte occurs
        floors.push_back([&] { Check(std::system(grep.c_str()) == 0, "grep ran"); });
        floors.push_back([&] { ReadInChunks(file, 0xff); });
    }
#endif
    std::vector<double> t = Medians([&] { found = FindStringInFile(file.string().c_str(), needle.c_str()); },
                                    floors);
    Check(found == static_cast<int>(size), "string at the end of the search file");
    Row(name, NameOf(set), size, t[0], "chunked read", t[1], 1.10, "<= 1.10");
    if (t.size() > 2) {
        Row("FindStringInFile, against grep", NameOf(set), size, t[0], "grep -F -b -o -m1", t[2], 0.99, "< 1");
        Row("  chunked read and memchr", NameOf(set), size, t[3], "chunked read", t[1], 0);
    }
}

// FindStringInFile on each data set, with the pathological string and
// memory beside.
void SearchCases(const fs::path &folder)
{
    const size_t size = 256 * MiB;
    for (DataSet set : DataSets)
        SearchCase(folder, set, size, "FindStringInFile", true);
#ifdef DORVAN_BENCH_TIERS
    // As a processor without AVX-512, without AVX2, or without any vector
    // scan the search uses would run it.
    const std::pair<dorvan::ScanTier, const char *> narrower[] = {
        {dorvan::ScanTier::Avx2, "FindStringInFile, AVX2 tier"},
        {dorvan::ScanTier::Sse2, "FindStringInFile, SSE2 tier"},
        {dorvan::ScanTier::Portable, "FindStringInFile, portable tier"},
    };
    for (const auto &[tier, name] : narrower) {
        if (!dorvan::ScanTierAvailable(tier))
            continue;
        const dorvan::ScopedScanTier limit(tier);
        for (DataSet set : DataSets)
            SearchCase(folder, set, size, name, false);
    }
#endif

    // The pathological string: 'a' runs with a string of 4,095 'a' and a 'b',
    // against the ordinary search over as many random bytes.
    const std::string nearly = std::string(4095, 'a') + "b";
    const fs::path runs = folder / "a-runs.bin", ordinary = folder / "search-random.bin";
    if (!fs::exists(runs) || fs::file_size(runs) != size + nearly.size()) {
        std::ofstream out(runs, std::ios::binary | std::ios::trunc);
        Bytes piece(8 * MiB, 'a');
        for (size_t done = 0; done < size; done += piece.size())
            out.write(reinterpret_cast<const char *>(piece.data()), static_cast<std::streamsize>(piece.size()));
        out << nearly;
    }
    Settle();
    int found = 0;
    const std::string ordinaryNeedle = AbsentString(DataSet::RandomBytes) + "#end";
    std::vector<double> t =
        Medians([&] { found = FindStringInFile(runs.string().c_str(), nearly.c_str()); },
                {[&] { FindStringInFile(ordinary.string().c_str(), ordinaryNeedle.c_str()); }});
    Check(found == static_cast<int>(size), "string at the end of the 'a' runs");
    Row("FindStringInFile, 'a' runs", "a runs", size, t[0], "ordinary search, random", t[1], 2, "<= 2");

#ifndef _WIN32
    // Memory on 1 GiB: four of the random files' sizes, built once.
    const fs::path large = folder / "search-1gib.bin";
    MakeSearchFile(large, DataSet::RandomBytes, 1024 * MiB, ordinaryNeedle);
    long growth = SearchMemoryGrowthKiB(large, ordinaryNeedle);
    std::printf("| %-34s | %-10s | %4.0f MiB | %9s | %-26s | %9s | %5s | %-8s |\n", "FindStringInFile, memory",
                "random", 1024.0, "", ("peak growth " + std::to_string(growth) + " KiB").c_str(), "", "",
                "< 1 MiB");
    Figures.push_back({"FindStringInFile, memory (MiB)", "random", "< 1", growth / 1024.0, 0.999});
#endif
}

// The dictionary cases on each data set, 64 MiB each. Every edit is made
// durable under its journal; its floor is the same edit's bytes written the
// least way a journal allows (JournalledEditFloor). A plain copy of the
// dictionary, not made durable, is shown beside.
void DictionaryCases(const fs::path &folder)
{
    for (DataSet set : DataSets) {
        const Bytes dictionary = MakeDictionary(set, 64 * MiB, true);
        const char *name = NameOf(set);
        const fs::path data = folder / "data";
        fs::remove_all(data);
        fs::create_directories(data);
        const fs::path dictionaryPath = data / "Geodict.dct", original = folder / "Geodict.original";
        WriteFile(original, dictionary);
        auto restore = [&] {
            for (const auto &entry : fs::directory_iterator(data))
                fs::remove(entry.path());
            fs::copy_file(original, dictionaryPath);
        };
        const std::string dir = data.string();
        const size_t size = dictionary.size();
        // The first record naming the map file: an edit rewrites the
        // dictionary from its tag on.
        const std::string polish = "Pols0000.GST";
        const size_t firstChanged =
            static_cast<size_t>(std::search(dictionary.begin(), dictionary.end(), polish.begin(), polish.end()) -
                                dictionary.begin()) - 8;

        // Each edit beside the least a journalled edit of the same bytes
        // can do, on a copy of the dictionary made afresh before each run.
        const fs::path floorDictionary = folder / "floor.dct";
        auto edit = [&](const char *caseName, double goal, const std::function<void()> &call, bool numberedCopy,
                        size_t changedFrom) {
            restore();
            call();
            const size_t newLength = fs::file_size(dictionaryPath);
            const fs::path copy = folder / "copy.bin";
            const std::vector<double> t = Medians(
                call,
                {[&] { JournalledEditFloor(floorDictionary, numberedCopy, changedFrom, newLength); },
                 [&] { CopyFloor(original, copy, size, false); }},
                [&] {
                    restore();
                    fs::copy_file(original, floorDictionary, fs::copy_options::overwrite_existing);
                    fs::remove(floorDictionary.string() + ".floor-copy");
                });
            Row(caseName, name, size, t[0], "journalled rewrite, fsync", t[1], goal, goal == 1.2 ? "<= 1.2" : "<= 1.5");
            Row("  the same, against a plain copy", name, size, t[0], "copy (read, write)", t[2], 0);
        };
        int code = 0;
        edit("GeoDictRemove, half the records", 1.2, [&] { code = GeoDictRemove(dir.c_str(), "POLS0000.gst"); },
             false, firstChanged);
        Check(code == 1, "GeoDictRemove removed records");
        unsigned char result = 0;
        edit("ClearGeoDict, half the records", 1.5, [&] { result = ClearGeoDict(nullptr, "", "", dir.c_str(), ""); },
             true, firstChanged);
        Check(result == 1, "ClearGeoDict succeeded");

        // A repetitive entry of 1 MiB, found nowhere in the dictionary.
        const fs::path source = folder / "source";
        fs::create_directories(source);
        Bytes entry(MiB);
        for (size_t i = 0; i < entry.size(); ++i)
            entry[i] = "LBTGx"[i % 5];
        WriteFile(source / "GeoExt.gxt", entry);
        const std::string sourceDir = source.string();
        edit("SetGeoDict, entry absent", 1.5,
             [&] { result = SetGeoDict(nullptr, "", sourceDir.c_str(), dir.c_str(), ""); }, true, size);
        Check(result == 1 && fs::file_size(dictionaryPath) == size + entry.size(), "SetGeoDict appended");
        std::vector<double> t;

#ifndef _WIN32
        // Support staff's commands, through the tool beside the benchmark:
        // check reads the dictionary and one copy of it; restore leaves a
        // durable copy of the dictionary and writes the restored bytes in.
        restore();
        fs::copy_file(original, data / "Geodict.000");
        const std::string check = Tool + " check '" + dir + "' >/dev/null";
        t = Medians([&] { Check(std::system(check.c_str()) == 0, "dorvan check"); },
                    {[&] { Check(ReadWhole(dictionaryPath).size() + ReadWhole(data / "Geodict.000").size() == 2 * size,
                                 "read"); }});
        Row("dorvan check, one copy", name, size, t[0], "read both whole", t[1], 1.5, "<= 1.5");
        WriteFile(folder / "Geodict.other", MakeDictionary(set, 64 * MiB, false));
        const std::string restoreCommand = Tool + " restore '" + dir + "' 1 >/dev/null";
        const fs::path copy = folder / "copy.bin";
        t = Medians([&] { Check(std::system(restoreCommand.c_str()) == 0, "dorvan restore"); },
                    {[&] { CopyFloor(original, copy, size, true); }}, [&] {
                        restore();
                        fs::copy_file(folder / "Geodict.other", data / "Geodict.001");
                    });
        Row("dorvan restore", name, size, t[0], "copy, fsync, 64 MiB", t[1], 0);
#endif

        restore();
        const std::string absent = AbsentString(set);
        t = Medians([&] { code = GeoDictFind(dir.c_str(), absent.c_str()); },
                                        {[&] { Check(ReadWhole(dictionaryPath).size() == size, "read"); }});
        Check(code == 0, "GeoDictFind answered 0");
        Row("GeoDictFind, name absent", name, size, t[0], "read whole", t[1], 1.2, "<= 1.2");
    }
}

#ifndef _WIN32
// The portable registry reads in time linear in its size: SetInstallDir
// answered from a record behind 100,000 values, against ten times the same
// call behind 10,000.
void RegistryCase(const fs::path &folder)
{
    auto registryWith = [&](int count) {
        const fs::path root = folder / ("registry-" + std::to_string(count));
        const fs::path key = root / "HKEY_LOCAL_MACHINE" / "Software" / "Microsoft" / "DataMap" / "Directories";
        fs::create_directories(key);
        std::string values;
        for (int i = 0; i < count; ++i)
            values += "\"Value" + std::to_string(i) + "\"=sz:\"/some/path/number/" + std::to_string(i) + "\"\n";
        values += "\"MapData\"=sz:\"/opt/host/data/\"\n";
        WriteFile(key / "values.reg", Bytes(values.begin(), values.end()));
        return std::make_pair(root.string(), values.size());
    };
    const auto large = registryWith(100000), small = registryWith(10000);
    char target[260] = {};
    auto lookUp = [&](const std::string &root) {
        Check(DorvanSetRegistryRoot(root.c_str()) == 0, "registry root chosen");
        Check(SetInstallDir(nullptr, "", "", target, "") == 1 && std::strcmp(target, "/opt/host/data/") == 0,
              "SetInstallDir found the record");
    };
    std::vector<double> t = Medians([&] { lookUp(large.first); },
                                    {[&] {
                                        for (int i = 0; i < 10; ++i)
                                            lookUp(small.first);
                                    }});
    Row("SetInstallDir, 100,000 values", "registry", large.second, t[0], "10 x 10,000 values", t[1], 1.5, "<= 1.5");
}

// Eight setups at once, each installing and uninstalling the map set on one
// 4 MiB dictionary in processes of their own, against the same eight run
// one after another: edits that wait their turn lose little time waiting.
void SetupsSideBySideCase(const fs::path &folder)
{
    const fs::path data = folder / "setups", source = folder / "setups-entry";
    fs::remove_all(data);
    fs::create_directories(data);
    fs::create_directories(source);
    const Bytes dictionary = MakeDictionary(DataSet::UpperNames, 4 * MiB, false);
    WriteFile(data / "Geodict.dct", dictionary);
    WriteFile(source / "GeoExt.gxt", Record("Pols0000.GST Poland"));
    const std::string dir = data.string(), entry = source.string();
    auto setup = [&] {
        Check(SetGeoDict(nullptr, "", entry.c_str(), dir.c_str(), "") == 1 &&
                  ClearGeoDict(nullptr, "", "", dir.c_str(), "") == 1,
              "a setup installed and uninstalled");
    };
    // Eight setups, each a process of its own, `together` or each started
    // when the one before has ended.
    auto setups = [&](bool together) {
        pid_t children[8];
        for (pid_t &child : children) {
            if ((child = fork()) == 0) {
                setup();
                _exit(0);
            }
            int status = 0;
            if (!together)
                Check(waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0,
                      "a setup ended well");
        }
        for (pid_t child : children) {
            int status = 0;
            if (together)
                Check(waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0,
                      "a setup side by side ended well");
        }
    };
    std::vector<double> t = Medians([&] { setups(true); }, {[&] { setups(false); }});
    Row("8 setups side by side", NameOf(DataSet::UpperNames), dictionary.size(), t[0], "8 one after another", t[1], 1.10,
        "<= 1.10");
    fs::remove_all(data);
}
#endif

}  // namespace

int main(int argc, char **argv)
{
    Tool = (fs::path(argv[0]).parent_path() / "dorvan").string();
    if (argc < 2) {
        std::fprintf(stderr, "usage: dorvan_bench DATA_FOLDER [--search-only | --dictionary-only]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const std::string only = argc > 2 ? argv[2] : "";
    fs::create_directories(folder);

    Header();
    if (only != "--dictionary-only")
        SearchCases(folder);
    if (only != "--search-only") {
        DictionaryCases(folder);
#ifndef _WIN32
        RegistryCase(folder);
        SetupsSideBySideCase(folder);
#endif
    }
    Summary();
    return 0;
}
