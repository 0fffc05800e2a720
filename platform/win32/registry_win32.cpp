// The system registry.
#include "platform/registry.h"

#include <windows.h>

namespace dorvan::platform {

namespace {

// The host is a 32-bit program: on 64-bit Windows its keys, and the
// CommonFilesDir it sees, live in the 32-bit view of the registry, where a
// 32-bit setup program finds them by default. A 64-bit caller of this
// library asks for that view explicitly.
#ifdef _WIN64
const REGSAM HostKeyAccess = KEY_ALL_ACCESS | KEY_WOW64_32KEY;
#else
const REGSAM HostKeyAccess = KEY_ALL_ACCESS;
#endif

HKEY ToHandle(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
RegistryKey FromHandle(HKEY key) { return reinterpret_cast<RegistryKey>(key); }

Status StatusOfResult(LONG result)
{
    if (result == ERROR_SUCCESS)
        return Success;
    return StatusOf(result == ERROR_FILE_NOT_FOUND ? StatusCode::RegistryMissing : StatusCode::RegistryFailed);
}

}  // namespace

RegistryKey LocalMachineKey()
{
    return FromHandle(HKEY_LOCAL_MACHINE);
}

Status RegistryOpenKey(RegistryKey parent, const char *subKey, RegistryKey *key)
{
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(ToHandle(parent), subKey, 0, HostKeyAccess, &opened);
    *key = result == ERROR_SUCCESS ? FromHandle(opened) : 0;
    return StatusOfResult(result);
}

Status RegistryCreateKey(RegistryKey parent, const char *subKey, RegistryKey *key, KeyDisposition *disposition)
{
    HKEY created = nullptr;
    DWORD how = 0;
    LONG result = RegCreateKeyExA(ToHandle(parent), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, HostKeyAccess,
                                  nullptr, &created, &how);
    *key = result == ERROR_SUCCESS ? FromHandle(created) : 0;
    *disposition = how == REG_OPENED_EXISTING_KEY ? KeyDisposition::OpenedExisting : KeyDisposition::CreatedNew;
    return StatusOfResult(result);
}

Status RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size)
{
    DWORD valueType = 0, valueSize = *size;
    LONG result = RegQueryValueExA(ToHandle(key), name, nullptr, &valueType, data, &valueSize);
    *type = valueType;
    *size = valueSize;
    return StatusOfResult(result);
}

Status RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size)
{
    return StatusOfResult(RegSetValueExA(ToHandle(key), name, 0, type, data, size));
}

void RegistryCloseKey(RegistryKey key)
{
    RegCloseKey(ToHandle(key));
}

}  // namespace dorvan::platform
