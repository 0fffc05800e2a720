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
// installer's log. The CustomActionData's format is in custom_action_data.h.
//
// A major upgrade removes the older product while the newer one is
// installed, or about to be, with the same map file: that removal leaves
// the registration alone, since the newer product's registration has put
// its own entry in place of the older one's, or will. Windows sets
// UPGRADINGPRODUCTCODE in that removal; an installer that does not (Wine's
// runs a plain removal) still shows the newer product among the map file
// component's clients.
#include <cstring>

#include "dorvan_setup.h"
#include "edge/answers.h"
#include "installer/installer_actions.h"
#include "platform/installer_session.h"
#include "unattended/custom_action_data.h"

namespace dorvan {

namespace {

using platform::InstallerSession;
using platform::LogToSession;
using platform::OtherProductHolds;
using platform::PropertySize;
using platform::ReportToSession;
using platform::SessionProperty;
using platform::SetSessionProperty;

constexpr unsigned InstallSuccess = 0;     // ERROR_SUCCESS
constexpr unsigned InstallFailure = 1603;  // ERROR_INSTALL_FAILURE

// The directory the map files go to, and the one holding "GeoExt.gxt".
constexpr char MapDataProperty[] = "DORVANMAPDATA";
constexpr char EntryProperty[] = "DORVANENTRYDIR";
// Set to "1" once the map data directory is the host's: without it,
// DORVANMAPDATA is only the package's own default folder.
constexpr char HostFoundProperty[] = "DORVANHOSTFOUND";
// The deferred actions' names in the package, whose properties carry their
// CustomActionData.
constexpr char RegisterAction[] = "DorvanRegisterMapSet";
constexpr char UnregisterAction[] = "DorvanUnregisterMapSet";
constexpr char RegisterRollback[] = "DorvanRegisterMapSetRollback";
constexpr char UnregisterRollback[] = "DorvanUnregisterMapSetRollback";

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
unsigned Answer(InstallerSession session, const char *action, const Status &status, const CallInputs &inputs,
                const char *done)
{
    wchar_t text[PropertySize];
    const int id = AnswerWithText(status, inputs, text, PropertySize);
    if (id == 0) {
        Log(session, action, done);
        return InstallSuccess;
    }
    // Every message id has two digits (17 to 24).
    const char number[3] = {static_cast<char>('0' + id / 10), static_cast<char>('0' + id % 10), '\0'};
    Log(session, action, "failed with message ", number);
    ReportToSession(session, text);
    return InstallFailure;
}

bool Removing(InstallerSession session)
{
    char remove[PropertySize];
    return SessionProperty(session, "REMOVE", remove) && std::strcmp(remove, "ALL") == 0;
}

// A property's value in `value`; false, with a log line, when it cannot be
// read or does not fit, and the action then fails rather than going on
// with an empty or a cut text (an empty folder would be a relative path).
bool ReadProperty(InstallerSession session, const char *action, const char *name, char (&value)[PropertySize])
{
    if (SessionProperty(session, name, value))
        return true;
    Log(session, action, "cannot read the whole of the property ", name);
    return false;
}

enum class ActionDataFound { Some, None, Unreadable };

// The CustomActionData of a deferred or rollback action, in `data`: None
// when it is empty, and the action has nothing to do.
ActionDataFound ActionData(InstallerSession session, const char *action, char (&data)[PropertySize])
{
    if (!ReadProperty(session, action, "CustomActionData", data))
        return ActionDataFound::Unreadable;
    if (data[0] != '\0')
        return ActionDataFound::Some;
    Log(session, action, "nothing to do");
    return ActionDataFound::None;
}

unsigned Malformed(InstallerSession session, const char *action, const char *data)
{
    Log(session, action, "malformed CustomActionData, nothing done: ", data);
    return InstallFailure;
}

// Whether this removal leaves the registration to a newer product of the
// same map set: the product upgrading this one, or another product still
// holding the map file's component; `product` names it.
bool RegistrationStaysFor(InstallerSession session, char (&product)[PropertySize])
{
    return (SessionProperty(session, "UPGRADINGPRODUCTCODE", product) && product[0] != '\0') ||
           OtherProductHolds(session, MapDataProperty, product);
}

unsigned FindMapDataDirAction(InstallerSession session)
{
    const char *const action = "FindMapDataDir";
    char directory[PathBufferSize];
    const Status status = FindMapDataDir(directory, platform::KeyAccess::Read);
    if (status.Ok() && SetSessionProperty(session, MapDataProperty, directory).Ok() &&
        SetSessionProperty(session, HostFoundProperty, "1").Ok()) {
        Log(session, action, "map data directory ", directory);
        return InstallSuccess;
    }
    // A removal goes on without the host: there is nothing to unregister.
    if (Removing(session)) {
        Log(session, action, "no host found; the removal goes on without it");
        return InstallSuccess;
    }
    return Answer(session, action, status, {}, "");
}

// Each deferred and rollback action's CustomActionData, "" for nothing to
// do.
bool HandOut(InstallerSession session, const char *registration, const char *unregistration,
             const char *registrationRollback, const char *unregistrationRollback)
{
    return SetSessionProperty(session, RegisterAction, registration).Ok() &&
           SetSessionProperty(session, UnregisterAction, unregistration).Ok() &&
           SetSessionProperty(session, RegisterRollback, registrationRollback).Ok() &&
           SetSessionProperty(session, UnregisterRollback, unregistrationRollback).Ok();
}

unsigned PrepareMapSetActions(InstallerSession session)
{
    const char *const action = "PrepareMapSetActions";
    char mapData[PropertySize], entry[PropertySize], hostFound[PropertySize];
    // A removal without the host: nothing to unregister, and the package's
    // default folder goes to no deferred action.
    if (Removing(session) && (!SessionProperty(session, HostFoundProperty, hostFound) ||
                              std::strcmp(hostFound, "1") != 0)) {
        Log(session, action, "no host; nothing to unregister");
        return HandOut(session, "", "", "", "") ? InstallSuccess : InstallFailure;
    }
    if (!ReadProperty(session, action, MapDataProperty, mapData) ||
        !ReadProperty(session, action, EntryProperty, entry))
        return InstallFailure;
    DictionarySnapshot snapshot{};
    const Status status = TakeDictionarySnapshot(mapData, snapshot);
    if (!status.Ok()) {
        if (Removing(session)) {
            Log(session, action, "no dictionary; nothing to unregister in ", mapData);
            return InstallSuccess;
        }
        return Answer(session, action, status, {mapData, entry}, "");
    }
    char snapshotText[WholeSnapshotTextSize], product[PropertySize];
    FormatSnapshot(snapshot, snapshotText, DigestSize);
    Text<PropertySize> registration, rollback;
    registration << entry << FieldSeparator << mapData;
    rollback << mapData << FieldSeparator << snapshotText;
    const bool stays = Removing(session) && RegistrationStaysFor(session, product);
    if (stays)
        Log(session, action, "the map set stays registered for the product ", product);
    if (!HandOut(session, registration.Get(), stays ? "" : mapData, rollback.Get(), stays ? "" : rollback.Get()))
        return Answer(session, action, StatusOf(StatusCode::NoMemory), {}, "");
    Log(session, action, "dictionary before the change: ", rollback.Get());
    return InstallSuccess;
}

// A deferred action: the `count` fields of its CustomActionData handed to
// `work`: the entry's folder and the map data directory for the
// registration, the directory alone for the removal. Without them (a
// removal with no dictionary, or one leaving the registration in place) it
// has nothing to do.
unsigned RunDeferred(InstallerSession session, const char *action, int count, Status (*work)(char **fields),
                     const char *done)
{
    char data[PropertySize], shown[PropertySize];
    char *fields[2];
    const ActionDataFound found = ActionData(session, action, data);
    if (found != ActionDataFound::Some)
        return found == ActionDataFound::None ? InstallSuccess : InstallFailure;
    std::memcpy(shown, data, sizeof data);
    if (!SplitFields(data, fields, count))
        return Malformed(session, action, shown);
    const CallInputs inputs = count == 2 ? CallInputs{fields[1], fields[0]} : CallInputs{fields[0]};
    return Answer(session, action, work(fields), inputs, done);
}

// Each deferred change leaves, before it writes, the numbered copy that its
// rollback puts back, or it does not start.
unsigned RegisterMapSetAction(InstallerSession session)
{
    return RunDeferred(session, "RegisterMapSet", 2,
                       [](char **fields) {
                           constexpr Registration how{EarlierEntries::Replaced, CopyRule::Required, DataCheck::Understood};
                           return RegisterMapSet(fields[0], fields[1], how);
                       },
                       "registered");
}

unsigned UnregisterMapSetAction(InstallerSession session)
{
    return RunDeferred(session, "UnregisterMapSet", 1,
                       [](char **fields) { return UnregisterMapSet(fields[0], CopyRule::Required, DataCheck::Understood); },
                       "unregistered");
}

// A rollback's own failure cannot stop anything, but it is told: in the
// log, and as the installer's error message.
unsigned RestoreDictionaryAction(InstallerSession session)
{
    const char *const action = "RestoreDictionary";
    char data[PropertySize], shown[PropertySize];
    const ActionDataFound found = ActionData(session, action, data);
    if (found != ActionDataFound::Some)
        return found == ActionDataFound::None ? InstallSuccess : InstallFailure;
    std::memcpy(shown, data, sizeof data);
    char *mapData = nullptr;
    DictionarySnapshot snapshot{};
    if (!ParseRollbackData(data, &mapData, snapshot))
        return Malformed(session, action, shown);
    return Answer(session, action, RestoreDictionarySnapshot(mapData, snapshot), {mapData},
                  "dictionary as it was before");
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
