// dorvan: the library's exports from the command line, for setup authors
// and support staff, plus a listing of the dictionary's records.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dictionary/byte_search.h"
#include "dictionary/dictionary_records.h"
#include "dorvan.h"

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

// The records as the library walks them, by the library's own walk.
int ListRecords(const std::string &directory, const std::string &name)
{
    const std::string path = DictionaryPath(directory);
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
    return ListRecords(arguments[0], count > 1 ? arguments[1] : "Pols0000.GST");
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
