// dorvan: the library's exports from the command line, for setup authors
// and support staff, plus a listing of the dictionary's records.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bytes/byte_search.h"
#include "dictionary/copy_restore.h"
#include "dictionary/dictionary_file.h"
#include "dictionary/dictionary_journal.h"
#include "dictionary/dictionary_lock.h"
#include "dictionary/dictionary_paths.h"
#include "dictionary/dictionary_records.h"
#include "dictionary/numbered_copies.h"
#include "dorvan.h"
#include "platform/path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum ExitStatus { Success = 0, Failure = 1, BadUsage = 2, Negative = 3 };

struct Command {
    const char *name;
    const char *arguments;
    int count;  // arguments required; -1: one or two
    const char *help;
};

const Command Commands[] = {
    {"install-dir", "", 0, "Finds the host's map data directory (SetInstallDir) and prints it."},
    {"install", "SOURCE DIR", 2, "Appends SOURCE/GeoExt.gxt to DIR/Geodict.dct once, after a numbered backup (SetGeoDict)."},
    {"uninstall", "DIR", 1, "Cuts the records naming Pols0000.GST out of DIR/Geodict.dct, after a numbered backup (ClearGeoDict)."},
    {"installed", "DIR", 1, "Tells whether Pols0000.GST is registered in DIR/Geodict.dct (VorezuInstalled)."},
    {"find", "DIR NAME", 2, "Tells whether NAME occurs in DIR/Geodict.dct, exactly as written (GeoDictFind)."},
    {"glue", "DIR FILE", 2, "Appends FILE to DIR/Geodict.dct: no backup, no duplicate check (GeoDictGlue)."},
    {"remove", "DIR NAME", 2, "Cuts the records naming NAME in any letter case out of DIR/Geodict.dct, no backup (GeoDictRemove)."},
    {"search", "FILE STRING", 2, "Prints the offset of the first STRING in FILE (FindStringInFile)."},
    {"records", "DIR [NAME]", -1, "Lists the records of DIR/Geodict.dct: offset, span, and whether NAME (default Pols0000.GST, exact) occurs in it, i.e. what uninstall would cut."},
    {"check", "DIR", 1, "Checks DIR/Geodict.dct, the journal an interrupted edit left and every numbered copy; exit status 0 when all is sound, 1 when something needs a look."},
    {"restore", "DIR NUMBER", 2, "Puts DIR/Geodict.NUMBER back as DIR/Geodict.dct: any interrupted edit first rolled back, a numbered copy of the dictionary it replaces left, a crash leaving the old or the restored bytes."},
};

void PrintUsage(FILE *out)
{
    std::fprintf(out,
                 "usage: dorvan [OPTIONS] COMMAND ARGUMENTS\n\n"
                 "Installs and uninstalls the Poland map set in the host's geographic dictionary.\n\n"
                 "Commands:\n");
    for (const Command &command : Commands)
        std::fprintf(out, "  %-12s %-12s %s\n", command.name, command.arguments, command.help);
    std::fprintf(out,
                 "\nOptions:\n"
#ifdef _WIN32
                 "  --print-messages  write the library's message boxes to standard error and close them\n"
#else
                 "  --registry DIR    the folder holding the library's registry (default: $DORVAN_REGISTRY_ROOT)\n"
#endif
                 "  --help            this text; 'dorvan COMMAND --help' explains one command\n\n"
                 "Exit status: 0 success (or yes), 3 no (not registered, not found, nothing removed),\n"
                 "1 failure, 2 bad usage. Results go to standard output, problems to standard error.\n");
}

#ifdef _WIN32
HHOOK MessageHook = nullptr;

// Reads each message box the library shows, writes it out and presses OK.
LRESULT CALLBACK PrintAndCloseBox(int code, WPARAM wParam, LPARAM lParam)
{
    char windowClass[16] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(reinterpret_cast<HWND>(wParam), windowClass, sizeof windowClass) &&
        std::strcmp(windowClass, "#32770") == 0) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t caption[256] = {}, text[2048] = {};
        GetWindowTextW(box, caption, 256);
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        char utf8Caption[1024] = {}, utf8Text[8192] = {};
        WideCharToMultiByte(CP_UTF8, 0, caption, -1, utf8Caption, sizeof utf8Caption, nullptr, nullptr);
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8Text, sizeof utf8Text, nullptr, nullptr);
        for (char *c = utf8Text; *c; ++c)
            if (*c == '\n' || *c == '\r')
                *c = ' ';
        std::fprintf(stderr, "message box \"%s\": %s\n", utf8Caption, utf8Text);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return CallNextHookEx(MessageHook, code, wParam, lParam);
}

void *OwnerWindow()
{
    static HWND window = CreateWindowExA(0, "STATIC", "dorvan", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    return window;
}
#else
// The portable build writes its messages to standard error; any non-null
// owner makes the reader's messages appear too.
void *OwnerWindow()
{
    static int window;
    return &window;
}
#endif

std::string DictionaryPath(const std::string &directory)
{
    std::string path = directory;
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += separator;
    return path + "Geodict.dct";
}

// Opens the map data directory and holds the dictionary in it shared, as
// a query holds it, so that what the tool reads is no edit's passing
// state; false, said, when there is no dictionary or an edit holds it past
// the wait.
bool HoldShared(const std::string &directory, dorvan::DictionaryFolder &folder)
{
    const std::string path = DictionaryPath(directory);
    if (!dorvan::OpenDictionaryFolder(directory.c_str(), folder).Ok()) {
        std::fprintf(stderr, "dorvan: cannot read %s\n", path.c_str());
        return false;
    }
    if (dorvan::HoldDictionary(folder, dorvan::platform::FileLock::Shared).code != dorvan::StatusCode::FileInUse)
        return true;
    std::fprintf(stderr, "dorvan: %s is held by an edit running now; try again when it has ended\n", path.c_str());
    return false;
}

// The records as the library walks them, by the library's own walk.
int ListRecords(const std::string &directory, const std::string &name)
{
    const std::string path = DictionaryPath(directory);
    dorvan::DictionaryFolder folder;
    if (!HoldShared(directory, folder))
        return Failure;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "dorvan: cannot read %s\n", path.c_str());
        return Failure;
    }
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto *bytes = reinterpret_cast<const uint8_t *>(data.data());
    const auto length = static_cast<int32_t>(data.size());
    size_t count = 0, named = 0;
    dorvan::RecordSpan record;
    for (int32_t from = 0; dorvan::FindNextRecord(bytes, length, from, record); from = record.coveredEnd) {
        bool names = !name.empty() && dorvan::FindBytes(bytes + record.tag, name.c_str(), bytes + record.coveredEnd);
        std::printf("offset %ld  span %lld%s  %s\n", static_cast<long>(record.tag),
                    static_cast<long long>(record.end - record.tag), record.end > length ? " (past the end)" : "",
                    names ? ("names " + name).c_str() : "-");
        ++count;
        named += names ? 1 : 0;
    }
    std::printf("%zu records, %zu naming %s, %zu bytes\n", count, named, name.c_str(), data.size());
    return Success;
}

// A numbered copy of the dictionary in its folder: "Geodict." and digits.
struct NumberedCopy {
    uint32_t number;
    std::string name;
};

bool CopyNumberOf(const std::string &text, uint32_t &number)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    number = static_cast<uint32_t>(value);
    return value < UINT32_MAX;
}

std::vector<NumberedCopy> NumberedCopies(const std::string &directory)
{
    std::vector<NumberedCopy> copies;
    std::error_code failed;
    for (const auto &file : std::filesystem::directory_iterator(directory.empty() ? "." : directory, failed)) {
        const std::string name = file.path().filename().string();
        uint32_t number = 0;
        if (name.rfind("Geodict.", 0) == 0 && name.size() >= 11 && CopyNumberOf(name.substr(8), number))
            copies.push_back({number, name});
    }
    std::sort(copies.begin(), copies.end(), [](const NumberedCopy &a, const NumberedCopy &b) {
        return a.number < b.number;
    });
    return copies;
}

// The records of a file read whole: how many, and the first one cut short,
// in one walk; how many name the map file, in the walk that searches the
// name through the data at once.
std::string RecordsOf(const dorvan::WholeFile &file, bool &whole, size_t &count)
{
    int32_t cut = -1;
    size_t named = 0;
    count = 0;
    const dorvan::RecordScan scan(dorvan::MapFileName, dorvan::NameMatching::Exact);
    dorvan::RecordSpan record;
    for (int32_t from = 0; scan.NextRecord(file.begin(), file.length, from, record); from = record.coveredEnd) {
        ++count;
        if (cut < 0 && record.end > file.length)
            cut = record.tag;
    }
    for (int32_t from = 0; scan.NextMatchingRecord(file.begin(), file.length, from, record); from = record.coveredEnd)
        ++named;
    whole = cut < 0;
    return std::to_string(file.length) + " bytes, " + std::to_string(count) + " records, " + std::to_string(named) +
           " naming " + dorvan::MapFileName +
           (whole ? ", every record whole" : ", cut short: the record at offset " + std::to_string(cut) +
                                                 " runs past the end");
}

int CheckDictionary(const std::string &directory)
{
    const std::string path = DictionaryPath(directory);
    // Held shared, so that a journal found is a crash's.
    dorvan::DictionaryFolder folder;
    if (!HoldShared(directory, folder))
        return Failure;
    dorvan::WholeFile dictionary;
    if (!dorvan::ReadWholeFile(folder.Get(), dorvan::DictionaryFileName, dorvan::platform::FileMode::ReadOnly,
                               dorvan::FileRole::Dictionary, dictionary)
             .Ok()) {
        std::fprintf(stderr, "dorvan: cannot read %s\n", path.c_str());
        return BadUsage;
    }
    dictionary.handle.Close();
    bool sound = true, whole = true;
    size_t records = 0;
    std::printf("%s: %s\n", path.c_str(), RecordsOf(dictionary, whole, records).c_str());
    sound = whole && records > 0;
    if (records == 0)
        std::printf("no records: this is no dictionary the library understands\n");
    // DorvanSetup.dll refuses to unregister from such a dictionary.
    if (dorvan::NamedOutsideRecords(dictionary.begin(), dictionary.length, dorvan::MapFileName)) {
        std::printf("%s is named outside any record: no removal takes it away, and every query finds it\n",
                    dorvan::MapFileName);
        sound = false;
    }

    const dorvan::JournalReport journal = dorvan::InspectJournal(folder);
    const char *journalFinding[] = {
        "none",
        "in use by an edit running now",
        "cannot be read: every call stops until it can",
        "never made whole, so the dictionary was not changed: the next call discards it",
        "the dictionary was replaced since: the next call discards it and keeps the dictionary as it is",
        "left by an interrupted edit: the next call puts back the old bytes",
        "written by another account, or a file with other names: every call stops until it is taken away",
    };
    std::printf("journal: %s", journalFinding[static_cast<int>(journal.finding)]);
    if (journal.finding == dorvan::JournalFinding::RollsBack)
        std::printf(" (%ld bytes from offset %ld on, %ld bytes in all)",
                    static_cast<long>(journal.oldLength - journal.firstChanged), static_cast<long>(journal.firstChanged),
                    static_cast<long>(journal.oldLength));
    std::printf("\n");
    sound = sound && journal.finding == dorvan::JournalFinding::None;

    if (dorvan::platform::FileExists(folder.Get(), dorvan::CopyInProgressName)) {
        const bool trusted =
            dorvan::CheckWrittenByTrusted(folder, dorvan::CopyInProgressName, dorvan::FileRole::CopyInProgress).Ok();
        std::printf("copy in progress %s: %s\n", dorvan::CopyInProgressName,
                    trusted ? "left by a crash, the next edit removes it"
                            : "written by another account: every edit stops until it is taken away");
        sound = false;
    }
    const std::vector<NumberedCopy> copies = NumberedCopies(directory);
    std::printf("%zu numbered copies\n", copies.size());
    for (const NumberedCopy &copy : copies) {
        const std::string copyPath = (std::filesystem::path(directory.empty() ? "." : directory) / copy.name).string();
        struct stat about {};
        char when[32] = "?";
        if (stat(copyPath.c_str(), &about) == 0) {
            const std::time_t time = about.st_mtime;
            if (const std::tm *local = std::localtime(&time))
                std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", local);
        }
        dorvan::WholeFile file;
        std::string verdict = "not a regular file, or unreadable";
        bool copyWhole = false;
        size_t copyRecords = 0;
        const dorvan::Status read = dorvan::ReadTrustedCopy(folder, copy.number, file);
        if (read.Ok())
            verdict = RecordsOf(file, copyWhole, copyRecords);
        else if (read.code == dorvan::StatusCode::WrittenByOther)
            verdict = "written by another account, or a file with other names: never put back";
        std::printf("  %s  %s  %s\n", copy.name.c_str(), when, verdict.c_str());
        sound = sound && copyWhole;
    }
    return sound ? Success : Failure;
}

int RestoreCopy(const std::string &directory, const std::string &numberText)
{
    uint32_t number = 0;
    if (!CopyNumberOf(numberText, number)) {
        std::fprintf(stderr, "dorvan: %s is not the number of a copy (digits only, as in Geodict.003)\n",
                     numberText.c_str());
        return BadUsage;
    }
    const std::string path = DictionaryPath(directory);
    char copyName[dorvan::PathBufferSize];
    if (!dorvan::NumberedCopyName(dorvan::DictionaryFileName, number, copyName)) {
        std::fprintf(stderr, "dorvan: the copy's name would be too long\n");
        return BadUsage;
    }
    const dorvan::Status status = dorvan::RestoreNumberedCopy(directory.c_str(), number);
    switch (status.code) {
    case dorvan::StatusCode::Ok:
        std::printf("restored %s as %s\n", copyName, path.c_str());
        return Success;
    case dorvan::StatusCode::CopyMissing:
        std::fprintf(stderr, "dorvan: there is no copy %s\n", copyName);
        return BadUsage;
    case dorvan::StatusCode::WrittenByOther:
        std::fprintf(stderr, "dorvan: %s was not restored: %s is written by another account, or has other names\n",
                     path.c_str(), status.file == dorvan::FileRole::NumberedCopy ? copyName : "a file beside it");
        return Failure;
    case dorvan::StatusCode::CopyNotWhole:
        std::fprintf(stderr, "dorvan: %s is no whole dictionary (not a regular file, unreadable, or cut short)\n",
                     copyName);
        return BadUsage;
    default:
        std::fprintf(stderr, "dorvan: %s was not restored: the dictionary cannot be read, left as a copy or "
                             "rewritten; it is as it was\n", path.c_str());
        return Failure;
    }
}

int Answer(int code, const char *yes, const char *no)
{
    if (code < 0) {
        std::fprintf(stderr, "dorvan: the dictionary is missing or cannot be read\n");
        return Failure;
    }
    std::printf("%s\n", code == 1 ? yes : no);
    return code == 1 ? Success : Negative;
}

int Run(const Command &command, char **arguments, int count)
{
    const std::string name = command.name;
    void *owner = OwnerWindow();
    if (name == "install-dir") {
        char target[260] = {};
        if (!SetInstallDir(owner, "", "", target, ""))
            return Failure;
        std::printf("%s\n", target);
        return Success;
    }
    if (name == "install")
        return SetGeoDict(owner, "", arguments[0], arguments[1], "") ? (std::puts("installed"), Success) : Failure;
    if (name == "uninstall")
        return ClearGeoDict(owner, "", "", arguments[0], "") ? (std::puts("uninstalled"), Success) : Failure;
    if (name == "installed")
        return Answer(VorezuInstalled(arguments[0]), "registered", "not registered");
    if (name == "find")
        return Answer(GeoDictFind(arguments[0], arguments[1]), "found", "not found");
    if (name == "glue") {
        if (GeoDictGlue(arguments[0], arguments[1]) == 0)
            return std::puts("appended"), Success;
        std::fprintf(stderr, "dorvan: nothing appended: a file is missing or cannot be read or written\n");
        return Failure;
    }
    if (name == "remove") {
        int code = GeoDictRemove(arguments[0], arguments[1]);
        if (code < 0) {
            std::fprintf(stderr, "dorvan: the dictionary is missing, unreadable, or its rewrite failed\n");
            return Failure;
        }
        std::puts(code == 1 ? "removed" : "nothing to remove");
        return code == 1 ? Success : Negative;
    }
    if (name == "search") {
        int offset = FindStringInFile(arguments[0], arguments[1]);
        if (offset == -2) {
            std::fprintf(stderr, "dorvan: cannot read %s\n", arguments[0]);
            return Failure;
        }
        if (offset == -1)
            return std::puts("not found"), Negative;
        std::printf("%d\n", offset);
        return Success;
    }
    // The rest reach the dictionary by the library's own routines, whose
    // paths are UTF-8; the exports above take the command line's ANSI.
    dorvan::platform::HeapBlock held;
    const char *directory = dorvan::platform::PathFromAnsi(arguments[0], held);
    if (!directory)
        return std::fprintf(stderr, "dorvan: out of memory\n"), Failure;
    if (name == "check")
        return CheckDictionary(directory);
    if (name == "restore")
        return RestoreCopy(directory, arguments[1]);
    return ListRecords(directory, count > 1 ? arguments[1] : "Pols0000.GST");
}

}  // namespace

int main(int argc, char **argv)
{
    int next = 1;
#ifndef _WIN32
    // The variable is the default; --registry on the command line wins.
    if (const char *root = std::getenv("DORVAN_REGISTRY_ROOT"))
        DorvanSetRegistryRoot(root);
#endif
    for (; next < argc && std::strncmp(argv[next], "--", 2) == 0; ++next) {
        if (std::strcmp(argv[next], "--help") == 0) {
            PrintUsage(stdout);
            return Success;
        }
#ifdef _WIN32
        if (std::strcmp(argv[next], "--print-messages") == 0) {
            MessageHook = SetWindowsHookExW(WH_CBT, PrintAndCloseBox, nullptr, GetCurrentThreadId());
            continue;
        }
#else
        if (std::strcmp(argv[next], "--registry") == 0 && next + 1 < argc) {
            DorvanSetRegistryRoot(argv[++next]);
            continue;
        }
#endif
        std::fprintf(stderr, "dorvan: unknown option %s\n", argv[next]);
        return BadUsage;
    }
    if (next >= argc) {
        PrintUsage(stderr);
        return BadUsage;
    }
    for (const Command &command : Commands) {
        if (std::strcmp(argv[next], command.name) != 0)
            continue;
        int count = argc - next - 1;
        if (count == 1 && std::strcmp(argv[next + 1], "--help") == 0) {
            std::printf("usage: dorvan %s %s\n\n%s\n", command.name, command.arguments, command.help);
            return Success;
        }
        bool fits = command.count < 0 ? count == 1 || count == 2 : count == command.count;
        if (!fits) {
            std::fprintf(stderr, "usage: dorvan %s %s\n", command.name, command.arguments);
            return BadUsage;
        }
        return Run(command, argv + next + 1, count);
    }
    std::fprintf(stderr, "dorvan: unknown command %s (see dorvan --help)\n", argv[next]);
    return BadUsage;
}
