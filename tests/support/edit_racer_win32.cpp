// One racer of the race under Wine, as a process of its own, through the
// library a setup loads:
//   dorvan_edit_racer Dorvan.dll|DorvanSetup.dll DATA SOURCE ID CALLS LOG GLUE [DIE_WITHIN_MS]
// Dorvan.dll installs through SetGeoDict and ClearGeoDict, DorvanSetup.dll
// through RegisterMapSet and UnregisterMapSet. With DIE_WITHIN_MS the
// racer ends itself at a random moment within that many milliseconds, as
// a process that is killed. And, after every racer has ended:
//   dorvan_edit_racer check DATA LOG...
// makes one quiet call and prints what is wrong; exit status 0 when nothing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "edit_race.h"

namespace {

using namespace dorvan::test;

template <typename Function>
Function Look(HMODULE library, const char *name)
{
    auto function = reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
    if (!function) {
        std::fprintf(stderr, "no %s\n", name);
        std::exit(2);
    }
    return function;
}

using Query = int(__stdcall *)(const char *);
using Named = int(__stdcall *)(const char *, const char *);

RaceCalls CallsOf(const std::string &dll, const std::string &data, const std::string &source)
{
    HMODULE library = LoadLibraryA(dll.c_str());
    if (!library) {
        std::fprintf(stderr, "cannot load %s\n", dll.c_str());
        std::exit(2);
    }
    RaceCalls calls;
    if (dll == "Dorvan.dll") {
        using Action = char(__stdcall *)(HWND, const char *, const char *, const char *, const char *);
        const auto set = Look<Action>(library, "SetGeoDict"), clear = Look<Action>(library, "ClearGeoDict");
        calls.install = [=] { return set(nullptr, "", source.c_str(), data.c_str(), "") == 1; };
        calls.uninstall = [=] { return clear(nullptr, "", "", data.c_str(), "") == 1; };
    } else {
        using Register = int(__stdcall *)(const char *, const char *, wchar_t *, int);
        using Unregister = int(__stdcall *)(const char *, wchar_t *, int);
        const auto enter = Look<Register>(library, "RegisterMapSet");
        const auto leave = Look<Unregister>(library, "UnregisterMapSet");
        calls.install = [=] {
            wchar_t message[512];
            return enter(source.c_str(), data.c_str(), message, 512) == 0;
        };
        calls.uninstall = [=] {
            wchar_t message[512];
            return leave(data.c_str(), message, 512) == 0;
        };
    }
    const auto installed = Look<Query>(library, "VorezuInstalled");
    const auto find = Look<Named>(library, "GeoDictFind"), remove = Look<Named>(library, "GeoDictRemove");
    const auto glue = Look<Named>(library, "GeoDictGlue");
    calls.installed = [=] { return installed(data.c_str()); };
    calls.find = [=](const char *name) { return find(data.c_str(), name); };
    calls.remove = [=](const char *name) { return remove(data.c_str(), name); };
    calls.glue = [=](const char *file) { return glue(data.c_str(), file); };
    return calls;
}

DWORD WINAPI DieLater(void *milliseconds)
{
    Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(milliseconds)));
    TerminateProcess(GetCurrentProcess(), 9);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::string(argv[1]) == "check") {
        const RaceCalls calls = CallsOf("DorvanSetup.dll", argv[2], "");
        const int quiet = calls.installed();
        int failures = 0;
        std::vector<std::string> problems = CheckRace(argv[2], std::vector<std::string>(argv + 3, argv + argc),
                                                      failures);
        if (quiet != 0 && quiet != 1)
            problems.push_back("the quiet call answered " + std::to_string(quiet));
        for (const std::string &problem : problems)
            std::printf("%s\n", problem.c_str());
        std::printf("%d calls answered failure\n", failures);
        return problems.empty() ? 0 : 1;
    }
    if (argc < 8)
        return 2;
    const int id = std::atoi(argv[4]);
    const RaceCalls calls = CallsOf(argv[1], argv[2], argv[3]);
    if (argc > 8) {
        srand(static_cast<unsigned>(id) * 7919u + GetTickCount());
        const uintptr_t within = static_cast<uintptr_t>(std::atoi(argv[8]));
        CloseHandle(CreateThread(nullptr, 0, DieLater, reinterpret_cast<void *>(rand() % (within + 1)), 0, nullptr));
    }
    Race(calls, id, std::atoi(argv[5]), 100u + static_cast<unsigned>(id), argv[7], argv[6]);
    return 0;
}
