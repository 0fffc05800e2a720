// The Windows Installer session through msi.dll. Properties are UTF-16 in
// the session and UTF-8 in the library, as every path it holds: no letter
// of a path is lost on its way in or out.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "platform/installer_session.h"

namespace dorvan::platform {

namespace {

// A record whose text is taken as it is: "[1]" stands for field 1, so that
// brackets in a path are never read as a property's name.
MSIHANDLE TextRecord(const wchar_t *text)
{
    MSIHANDLE record = MsiCreateRecord(1);
    if (record) {
        MsiRecordSetStringW(record, 0, L"[1]");
        MsiRecordSetStringW(record, 1, text);
    }
    return record;
}

void Send(InstallerSession session, INSTALLMESSAGE kind, const wchar_t *text)
{
    if (MSIHANDLE record = TextRecord(text)) {
        MsiProcessMessage(session, kind, record);
        MsiCloseHandle(record);
    }
}

}  // namespace

bool SessionProperty(InstallerSession session, const char *name, char (&value)[PropertySize])
{
    value[0] = '\0';
    wchar_t wideName[128], wide[PropertySize];
    DWORD size = PropertySize;
    if (MultiByteToWideChar(CP_UTF8, 0, name, -1, wideName, 128) <= 0 ||
        MsiGetPropertyW(session, wideName, wide, &size) != ERROR_SUCCESS)
        return false;
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, value, PropertySize, nullptr, nullptr) > 0;
}

Status SetSessionProperty(InstallerSession session, const char *name, const char *value)
{
    wchar_t wideName[128], wide[PropertySize];
    const bool set = MultiByteToWideChar(CP_UTF8, 0, name, -1, wideName, 128) > 0 &&
                     MultiByteToWideChar(CP_UTF8, 0, value, -1, wide, PropertySize) > 0 &&
                     MsiSetPropertyW(session, wideName, wide) == ERROR_SUCCESS;
    return set ? Success : StatusOf(StatusCode::WriteFailed);
}

// Closes an MSIHANDLE on every path.
class MsiHandle {
public:
    explicit MsiHandle(MSIHANDLE handle = 0) : handle_(handle) {}
    MsiHandle(const MsiHandle &) = delete;
    MsiHandle &operator=(const MsiHandle &) = delete;
    ~MsiHandle()
    {
        if (handle_)
            MsiCloseHandle(handle_);
    }
    MSIHANDLE *operator&() { return &handle_; }
    operator MSIHANDLE() const { return handle_; }

private:
    MSIHANDLE handle_ = 0;
};

bool OtherProductHolds(InstallerSession session, const char *directory, char (&product)[PropertySize])
{
    product[0] = '\0';
    // The directory is the library's own identifier, never a user's text.
    wchar_t query[256] = L"SELECT `ComponentId` FROM `Component` WHERE `Directory_`='";
    const size_t used = wcslen(query);
    wchar_t self[40];
    DWORD selfSize = 40;
    if (MultiByteToWideChar(CP_UTF8, 0, directory, -1, query + used, static_cast<int>(254 - used)) <= 0 ||
        MsiGetPropertyW(session, L"ProductCode", self, &selfSize) != ERROR_SUCCESS)
        return false;
    wcscat(query, L"'");
    MsiHandle database(MsiGetActiveDatabase(session)), view;
    if (!database || MsiDatabaseOpenViewW(database, query, &view) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS)
        return false;
    for (;;) {
        MsiHandle record;
        if (MsiViewFetch(view, &record) != ERROR_SUCCESS)
            return false;
        wchar_t component[40];
        DWORD size = 40;
        if (MsiRecordGetStringW(record, 1, component, &size) != ERROR_SUCCESS)
            continue;
        wchar_t client[40];
        for (DWORD index = 0; MsiEnumClientsW(component, index, client) == ERROR_SUCCESS; ++index) {
            if (lstrcmpiW(client, self) != 0)
                return WideCharToMultiByte(CP_UTF8, 0, client, -1, product, PropertySize, nullptr, nullptr) > 0;
        }
    }
}

void LogToSession(InstallerSession session, const char *line)
{
    // A line names a property and a little more; no UTF-8 makes more
    // UTF-16 units than bytes.
    wchar_t wide[2 * PropertySize];
    if (MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, 2 * PropertySize) > 0)
        Send(session, INSTALLMESSAGE_INFO, wide);
}

void ReportToSession(InstallerSession session, const wchar_t *text)
{
    Send(session, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
}

}  // namespace dorvan::platform
