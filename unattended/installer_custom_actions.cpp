// DorvanSetup.dll's custom actions for Windows Installer. An immediate
// action finds the map data directory and sets it as the map files'
// directory, DORVANMAPDATA, before the installer resolves its folders.
// Another, just after InstallInitialize, looks at the dictionary as it is
// and hands each deferred action its CustomActionData, the only property
// a deferred action reads: the two folders for the registration, the
// directory for the removal, and for each rollback action the dictionary's
// length and checksum before the change and the number of the copy the
// change will leave. The deferred actions register the map set after the
// files are installed and unregister it before they are removed; a rollback
// puts the dictionary back byte for byte from that copy. Each failure goes
// to the installer as its error message, with the Polish text Dorvan.dll
// would show, and ends the installation; each step writes a line to the
// installer's log.
#include <cstdlib>
#include <cstring>

#include "dorvan_setup.h"
#include "frame/answers.h"
#include "installer/installer_actions.h"
#include "platform/installer_session.h"

namespace dorvan {

namespace {

using platform::InstallerSession;
using platform::LogToSession;
using platform::PropertySize;
using platform::ReportToSession;
using platform::SessionProperty;
using platform::SetSessionProperty;

constexpr unsigned InstallSuccess = 0;     // ERROR_SUCCESS
constexpr unsigned InstallFailure = 1603;  // ERROR_INSTALL_FAILURE

// The directory the map files go to, and the one holding "GeoExt.gxt".
constexpr char MapDataProperty[] = "DORVANMAPDATA";
constexpr char EntryProperty[] = "DORVANENTRYDIR";
// The deferred actions' names in the package, whose properties carry their
// CustomActionData.
constexpr char RegisterAction[] = "DorvanRegisterMapSet";
constexpr char UnregisterAction[] = "DorvanUnregisterMapSet";
constexpr char RegisterRollback[] = "DorvanRegisterMapSetRollback";
constexpr char UnregisterRollback[] = "DorvanUnregisterMapSetRollback";

constexpr char Separator = '|';  // never part of a Windows path

// A text built piece by piece in a fixed buffer, cut where it is full: the
// library carries no formatted printing of its own.
template <size_t Size>
class Text {
public:
    Text &operator<<(const char *piece)
    {
        for (; *piece && used_ < Size - 1; ++piece)
            text_[used_++] = *piece;
        text_[used_] = '\0';
        return *this;
    }
    Text &operator<<(char piece)
    {
        const char one[2] = {piece, '\0'};
        return *this << one;
    }
    // An unsigned number in base `base`, at least `digits` digits.
    Text &Number(uint64_t value, unsigned base = 10, int digits = 1)
    {
        char reversed[24];
        int count = 0;
        do {
            reversed[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value || count < digits);
        while (count > 0)
            *this << reversed[--count];
        return *this;
    }
    const char *Get() const { return text_; }

private:
    char text_[Size] = {};
    size_t used_ = 0;
};

void Log(InstallerSession session, const char *action, const char *what, const char *detail = "")
{
    Text<PropertySize + 128> line;
    line << "Dorvan: " << action << ": " << what << detail;
    LogToSession(session, line.Get());
}

// A status told the installer's way: a line in the log and, for a failure,
// the message's text as the installer's error, which ends the installation.
unsigned Answer(InstallerSession session, const char *action, const Status &status, const char *done)
{
    wchar_t text[PropertySize];
    const int id = AnswerWithText(status, text, PropertySize);
    if (id == 0) {
        Log(session, action, done);
        return InstallSuccess;
    }
    Text<32> what;
    what << "failed with message ";
    what.Number(static_cast<unsigned>(id));
    Log(session, action, what.Get());
    ReportToSession(session, text);
    return InstallFailure;
}

bool Removing(InstallerSession session)
{
    char remove[PropertySize];
    return SessionProperty(session, "REMOVE", remove) && std::strcmp(remove, "ALL") == 0;
}

// Splits `data` at its separators in place into at most `most` fields;
// returns how many it holds.
int SplitFields(char *data, char **fields, int most)
{
    int count = 0;
    for (char *field = data; count < most; ++count) {
        fields[count] = field;
        char *end = std::strchr(field, Separator);
        if (!end)
            return count + 1;
        *end = '\0';
        field = end + 1;
    }
    return count;
}

// The CustomActionData of a deferred or rollback action, in `fields`.
int ActionData(InstallerSession session, char (&data)[PropertySize], char **fields, int most)
{
    if (!SessionProperty(session, "CustomActionData", data) || data[0] == '\0')
        return 0;
    return SplitFields(data, fields, most);
}

unsigned FindMapDataDirAction(InstallerSession session)
{
    const char *const action = "FindMapDataDir";
    char directory[PathBufferSize];
    const Status status = DiscoverMapDataDirectory(directory);
    if (status.Ok() && SetSessionProperty(session, MapDataProperty, directory).Ok()) {
        Log(session, action, "map data directory ", directory);
        return InstallSuccess;
    }
    // A removal goes on without the host: there is nothing to unregister.
    if (Removing(session)) {
        Log(session, action, "no host found; the removal goes on without it");
        return InstallSuccess;
    }
    return Answer(session, action, status, "");
}

unsigned PrepareMapSetActions(InstallerSession session)
{
    const char *const action = "PrepareMapSetActions";
    char mapData[PropertySize], entry[PropertySize];
    SessionProperty(session, MapDataProperty, mapData);
    SessionProperty(session, EntryProperty, entry);
    InstallerPaths paths;
    DictionarySnapshot snapshot{};
    const Status status = TakeDictionarySnapshot(mapData, snapshot, paths);
    if (!status.Ok()) {
        if (Removing(session)) {
            Log(session, action, "no dictionary; nothing to unregister in ", mapData);
            return InstallSuccess;
        }
        return Answer(session, action, status, "");
    }
    Text<PropertySize> registration, rollback;
    registration << entry << Separator << mapData;
    rollback << mapData << Separator;
    rollback.Number(static_cast<uint32_t>(snapshot.length)) << Separator;
    rollback.Number(snapshot.checksum, 16, 16) << Separator;
    rollback.Number(snapshot.copyNumber);
    const bool set = SetSessionProperty(session, RegisterAction, registration.Get()).Ok() &&
                     SetSessionProperty(session, UnregisterAction, mapData).Ok() &&
                     SetSessionProperty(session, RegisterRollback, rollback.Get()).Ok() &&
                     SetSessionProperty(session, UnregisterRollback, rollback.Get()).Ok();
    if (!set)
        return Answer(session, action, StatusOf(StatusCode::NoMemory), "");
    Log(session, action, "dictionary before the change: ", rollback.Get());
    return InstallSuccess;
}

// A deferred action: the `count` fields of its CustomActionData handed to
// `work`. Without them (a removal with no dictionary) it has nothing to do.
unsigned RunDeferred(InstallerSession session, const char *action, int count,
                     Status (*work)(char **fields, InstallerPaths &paths), const char *done)
{
    char data[PropertySize];
    char *fields[2];
    if (ActionData(session, data, fields, count) != count) {
        Log(session, action, "nothing to do");
        return InstallSuccess;
    }
    InstallerPaths paths;
    return Answer(session, action, work(fields, paths), done);
}

unsigned RegisterMapSetAction(InstallerSession session)
{
    return RunDeferred(session, "RegisterMapSet", 2,
                       [](char **fields, InstallerPaths &paths) { return AppendMapSetEntry(fields[0], fields[1], paths); },
                       "registered");
}

unsigned UnregisterMapSetAction(InstallerSession session)
{
    return RunDeferred(session, "UnregisterMapSet", 1,
                       [](char **fields, InstallerPaths &paths) { return RemoveMapSetRecords(fields[0], paths); },
                       "unregistered");
}

// A rollback's own failure cannot stop anything: it is logged.
unsigned RestoreDictionaryAction(InstallerSession session)
{
    const char *const action = "RestoreDictionary";
    char data[PropertySize];
    char *fields[4];
    if (ActionData(session, data, fields, 4) != 4) {
        Log(session, action, "nothing to do");
        return InstallSuccess;
    }
    const DictionarySnapshot snapshot{static_cast<int32_t>(std::strtol(fields[1], nullptr, 10)),
                                      std::strtoull(fields[2], nullptr, 16),
                                      static_cast<uint32_t>(std::strtoul(fields[3], nullptr, 10))};
    InstallerPaths paths;
    Answer(session, action, RestoreDictionarySnapshot(fields[0], snapshot, paths), "dictionary as it was before");
    return InstallSuccess;
}

}  // namespace

}  // namespace dorvan

extern "C" DORVAN_API unsigned DORVAN_CALL FindMapDataDirAction(unsigned long session)
{
    return dorvan::FindMapDataDirAction(session);
}

extern "C" DORVAN_API unsigned DORVAN_CALL PrepareMapSetActions(unsigned long session)
{
    return dorvan::PrepareMapSetActions(session);
}

extern "C" DORVAN_API unsigned DORVAN_CALL RegisterMapSetAction(unsigned long session)
{
    return dorvan::RegisterMapSetAction(session);
}

extern "C" DORVAN_API unsigned DORVAN_CALL UnregisterMapSetAction(unsigned long session)
{
    return dorvan::UnregisterMapSetAction(session);
}

extern "C" DORVAN_API unsigned DORVAN_CALL RestoreDictionaryAction(unsigned long session)
{
    return dorvan::RestoreDictionaryAction(session);
}
