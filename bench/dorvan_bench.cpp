// Speed and memory of the library's heavy paths, each measured beside a
// floor or a peer in the same run: median of 5 timed runs after a warm-up.
//
//   dorvan_bench DATA_FOLDER [--search-only | --dictionary-only]
//
// The data is generated deterministically in DATA_FOLDER.
#include <algorithm>
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

namespace fs = std::filesystem;

namespace {

constexpr size_t MiB = 1024 * 1024;

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

struct Pair {
    double run, floor;
};

// Medians of 5 timed runs of a case and of each of its floors after one
// warm-up each, all taking turns so that drift of the machine touches them
// alike; `prepare` runs untimed before each run of the case.
std::vector<double> MediansOf(const std::function<void()> &run, const std::vector<std::function<void()>> &floors,
                              const std::function<void()> &prepare)
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

Pair Medians(const std::function<void()> &run, const std::function<void()> &floor,
             const std::function<void()> &prepare = [] {})
{
    std::vector<double> medians = MediansOf(run, {floor}, prepare);
    return {medians[0], medians[1]};
}

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark result wrong: %s\n", what);
        std::exit(1);
    }
}

void Row(const char *name, size_t bytes, double time, const char *floorName, double floorTime, const char *goal)
{
    std::printf("| %-34s | %8.0f MiB | %9.1f ms | %8.0f MiB/s | %-22s %9.1f ms | %5.2f | %-12s |\n", name,
                bytes / double(MiB), time * 1e3, bytes / double(MiB) / time, floorName, floorTime * 1e3,
                time / floorTime, goal);
}

void WriteFile(const fs::path &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A large file written in pieces, so it never has to be held whole.
template <typename Fill>
void WriteLargeFile(const fs::path &path, size_t size, Fill fill)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<uint8_t> piece(8 * MiB);
    for (size_t done = 0; done < size;) {
        size_t n = std::min(piece.size(), size - done);
        fill(piece.data(), n);
        out.write(reinterpret_cast<const char *>(piece.data()), static_cast<std::streamsize>(n));
        done += n;
    }
}

// The floor of the file search: the same file read in the same chunks.
void ReadInChunks(const fs::path &path)
{
    static std::vector<char> buffer(102400);
#ifdef _WIN32
    int file = _open(path.string().c_str(), _O_RDONLY | _O_BINARY);
    while (_read(file, buffer.data(), 102400) > 0) {
    }
    _close(file);
#else
    int file = open(path.c_str(), O_RDONLY);
    while (read(file, buffer.data(), 102400) > 0) {
    }
    close(file);
#endif
}

std::vector<uint8_t> ReadWhole(const fs::path &path)
{
    std::vector<uint8_t> bytes(fs::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void CopyFloor(const fs::path &from, const fs::path &to)
{
    std::vector<uint8_t> bytes = ReadWhole(from);
    WriteFile(to, bytes);
}

// The same copy made durable, as every edit of the dictionary is.
void DurableCopyFloor(const fs::path &from, const fs::path &to)
{
    std::vector<uint8_t> bytes = ReadWhole(from);
#ifdef _WIN32
    int handle = _open(to.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    Check(handle >= 0 && _write(handle, bytes.data(), static_cast<unsigned>(bytes.size())) == int(bytes.size()) &&
              _commit(handle) == 0 && _close(handle) == 0,
          "durable copy");
#else
    int handle = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(handle >= 0 && write(handle, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
              fsync(handle) == 0 && close(handle) == 0,
          "durable copy");
#endif
}

std::vector<uint8_t> Record(const std::string &text)
{
    std::string record = "LBTG";
    record += static_cast<char>(text.size());
    record += "\x01\x02\x03" + text;
    return std::vector<uint8_t>(record.begin(), record.end());
}

// About 500,000 records in 64 MiB, every second one naming the map file,
// opaque bytes between some.
std::vector<uint8_t> MakeDictionary()
{
    std::mt19937 random(64);
    std::vector<uint8_t> data;
    data.reserve(64 * MiB + 300);
    for (size_t i = 0; data.size() < 64 * MiB; ++i) {
        std::string text = i % 2 ? "Pols0000.GST " : "Wlochy00.GST ";
        text.resize(100 + random() % 50, static_cast<char>('a' + random() % 26));
        std::vector<uint8_t> r = Record(text);
        data.insert(data.end(), r.begin(), r.end());
        if (i % 7 == 0)
            for (int j = 0; j < 9; ++j)
                data.push_back(static_cast<uint8_t>(random() % 64));
    }
    return data;
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

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: dorvan_bench DATA_FOLDER [--search-only | --dictionary-only]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const bool searchOnly = argc > 2 && std::strcmp(argv[2], "--search-only") == 0;
    const bool editsOnly = argc > 2 && std::strcmp(argv[2], "--dictionary-only") == 0;
    fs::create_directories(folder);

    std::printf("| %-34s | %12s | %12s | %14s | %-35s | %5s | %-12s |\n", "case", "size", "median", "throughput",
                "floor or peer (median)", "ratio", "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(14, '-').c_str(),
                std::string(14, '-').c_str(), std::string(16, '-').c_str(), std::string(37, '-').c_str(),
                std::string(7, '-').c_str(), std::string(14, '-').c_str());

    if (!editsOnly) {
    // File search, ordinary data: 1 GiB of pseudo-random bytes, a 16-byte
    // string only at the end.
    const std::string needle = "Pols0000.GST#end";
    const fs::path randomFile = folder / "random.bin";
    const size_t randomSize = 1024 * MiB;
    if (!fs::exists(randomFile) || fs::file_size(randomFile) != randomSize + needle.size()) {
        std::mt19937_64 random(1);
        WriteLargeFile(randomFile, randomSize, [&](uint8_t *p, size_t n) {
            for (size_t i = 0; i < n; i += 8) {
                uint64_t v = random();
                for (size_t k = 0; k < 8 && i + k < n; ++k)
                    p[i + k] = static_cast<uint8_t>(v >> (8 * k));
            }
        });
        std::ofstream(randomFile, std::ios::binary | std::ios::app) << needle;
    }
    Settle();
    int found = 0;
    Pair ordinary = Medians([&] { found = FindStringInFile(randomFile.string().c_str(), needle.c_str()); },
                            [&] { ReadInChunks(randomFile); });
    Check(found == static_cast<int>(randomSize), "string at the end of the random file");
    const double search = ordinary.run;
    Row("FindStringInFile, ordinary", randomSize, search, "chunked read", ordinary.floor, "<= 1.10");
    if (searchOnly)
        return 0;

#ifndef _WIN32
    const std::string grep = "grep -F -a -b -o -m1 '" + needle + "' '" + randomFile.string() + "' >/dev/null";
    Pair peer = Medians([&] { found = FindStringInFile(randomFile.string().c_str(), needle.c_str()); },
                        [&] { Check(std::system(grep.c_str()) == 0, "grep ran"); });
    Row("FindStringInFile, against grep", randomSize, peer.run, "grep -F -b -o -m1", peer.floor, "< 1");
#endif

    // Repetitive data: the ordinary case's throughput is the floor.
    const std::string nearly = std::string(4095, 'a') + "b";
    const fs::path repetitiveFile = folder / "repetitive.bin";
    const size_t repetitiveSize = 256 * MiB;
    if (!fs::exists(repetitiveFile) || fs::file_size(repetitiveFile) != repetitiveSize + nearly.size()) {
        WriteLargeFile(repetitiveFile, repetitiveSize, [](uint8_t *p, size_t n) { std::memset(p, 'a', n); });
        std::ofstream(repetitiveFile, std::ios::binary | std::ios::app) << nearly;
    }
    Settle();
    // The floor: the ordinary case over as many bytes of the random file.
    const fs::path randomQuarter = folder / "random-quarter.bin";
    WriteLargeFile(randomQuarter, repetitiveSize, [](uint8_t *p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            p[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    });
    Settle();
    Pair repetitive = Medians([&] { found = FindStringInFile(repetitiveFile.string().c_str(), nearly.c_str()); },
                              [&] { FindStringInFile(randomQuarter.string().c_str(), needle.c_str()); });
    Check(found == static_cast<int>(repetitiveSize), "string at the end of the repetitive file");
    Row("FindStringInFile, repetitive", repetitiveSize, repetitive.run, "ordinary, same size", repetitive.floor,
        "<= 2 per byte");

#ifndef _WIN32
    long growth = SearchMemoryGrowthKiB(randomFile, needle);
    std::printf("| %-34s | %8.0f MiB | %12s | %14s | %-35s | %5s | %-12s |\n", "FindStringInFile, memory",
                randomSize / double(MiB), "", "", ("peak resident growth " + std::to_string(growth) + " KiB").c_str(),
                "", "< 1024 KiB");
#endif
    }

    // Dictionary edits on 64 MiB.
    const std::vector<uint8_t> dictionary = MakeDictionary();
    const fs::path data = folder / "data";
    fs::create_directories(data);
    const fs::path dictionaryPath = data / "Geodict.dct", original = folder / "Geodict.original";
    WriteFile(original, dictionary);
    auto restore = [&] {
        for (const auto &entry : fs::directory_iterator(data))
            fs::remove(entry.path());
        fs::copy_file(original, dictionaryPath);
    };
    auto copyFloor = [&] { CopyFloor(original, folder / "copy.bin"); };
    const std::string dir = data.string();

    // Every edit is made durable: its floor is the copy made durable too.
    // Today's copy without it is shown beside.
    auto durableFloor = [&] { DurableCopyFloor(original, folder / "copy.bin"); };
    auto editRows = [&](const char *name, const std::function<void()> &edit) {
        std::vector<double> t = MediansOf(edit, {durableFloor, copyFloor}, restore);
        Row(name, dictionary.size(), t[0], "copy, fsync", t[1], "<= 1.5");
        Row("  the same, against a plain copy", dictionary.size(), t[0], "copy (read, write)", t[2], "");
    };

    int code = 0;
    editRows("GeoDictRemove", [&] { code = GeoDictRemove(dir.c_str(), "POLS0000.gst"); });
    Check(code == 1, "GeoDictRemove removed records");

    unsigned char result = 0;
    editRows("ClearGeoDict (backup included)", [&] { result = ClearGeoDict(nullptr, "", "", dir.c_str(), ""); });
    Check(result == 1, "ClearGeoDict succeeded");

    const fs::path source = folder / "source";
    fs::create_directories(source);
    std::vector<uint8_t> entry(MiB);
    for (size_t i = 0; i < entry.size(); ++i)
        entry[i] = "LBTGx"[i % 5];  // repetitive, and nowhere in the dictionary
    WriteFile(source / "GeoExt.gxt", entry);
    const std::string sourceDir = source.string();
    editRows("SetGeoDict, entry absent", [&] { result = SetGeoDict(nullptr, "", sourceDir.c_str(), dir.c_str(), ""); });
    Check(result == 1 && fs::file_size(dictionaryPath) == dictionary.size() + entry.size(), "SetGeoDict appended");

    restore();
    Pair find = Medians([&] { code = GeoDictFind(dir.c_str(), "Czechy00.GST"); },
                        [&] { Check(ReadWhole(dictionaryPath).size() == dictionary.size(), "read"); });
    Check(code == 0, "GeoDictFind answered 0");
    Row("GeoDictFind, name absent", dictionary.size(), find.run, "read whole", find.floor, "<= 1.2");

#ifndef _WIN32
    // The portable registry reads in time linear in its size: SetInstallDir
    // answered from a record behind 100,000 values, against ten times the
    // same call behind 10,000.
    auto registryWith = [&](int count) {
        const fs::path root = folder / ("registry-" + std::to_string(count));
        const fs::path key = root / "HKEY_LOCAL_MACHINE" / "Software" / "Microsoft" / "DataMap" / "Directories";
        fs::create_directories(key);
        std::string values;
        for (int i = 0; i < count; ++i)
            values += "\"Value" + std::to_string(i) + "\"=sz:\"/some/path/number/" + std::to_string(i) + "\"\n";
        values += "\"MapData\"=sz:\"/opt/host/data/\"\n";
        WriteFile(key / "values.reg", std::vector<uint8_t>(values.begin(), values.end()));
        return std::make_pair(root.string(), values.size());
    };
    const auto large = registryWith(100000), small = registryWith(10000);
    char target[260] = {};
    auto lookUp = [&](const std::string &root) {
        Check(DorvanSetRegistryRoot(root.c_str()) == 0, "registry root chosen");
        result = SetInstallDir(nullptr, "", "", target, "");
        Check(result == 1 && std::strcmp(target, "/opt/host/data/") == 0, "SetInstallDir found the record");
    };
    Pair lookup = Medians([&] { lookUp(large.first); },
                          [&] {
                              for (int i = 0; i < 10; ++i)
                                  lookUp(small.first);
                          });
    Row("SetInstallDir, 100,000 values", large.second, lookup.run, "10 x 10,000 values", lookup.floor, "<= 1.5");
#endif
    return 0;
}
