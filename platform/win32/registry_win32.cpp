// The system registry through its UTF-16 functions: key and value names,
// and string values, are UTF-8 in the library as every path is.
#include "platform/registry.h"

#include <string.h>
#include <windows.h>

#include "platform/win32/wide_path.h"

namespace dorvan::platform {

namespace {

// The host is a 32-bit program: on 64-bit Windows its keys, and the
// CommonFilesDir it sees, live in the 32-bit view of the registry, where a
// 32-bit setup program finds them by default. A 64-bit caller of this
// library asks for that view explicitly.
#ifdef _WIN64
constexpr REGSAM HostView = KEY_WOW64_32KEY;
#else
constexpr REGSAM HostView = 0;
#endif

REGSAM HostKeyAccess(KeyAccess access)
{
    switch (access) {
    case KeyAccess::Read:
        return KEY_READ | HostView;
    case KeyAccess::Write:
        return KEY_READ | KEY_WRITE | HostView;
    default:
        return KEY_ALL_ACCESS | HostView;
    }
}

HKEY ToHandle(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
RegistryKey FromHandle(HKEY key) { return reinterpret_cast<RegistryKey>(key); }

// Key and value names are the library's own, and short.
using WideName = wchar_t[PathLengthLimit + 1];

bool WidenName(const char *name, WideName &out)
{
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, out, PathLengthLimit + 1) > 0;
}

bool IsString(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

Status StatusOfResult(LONG result)
{
    if (result == ERROR_SUCCESS)
        return Success;
    return StatusOf(result == ERROR_FILE_NOT_FOUND ? StatusCode::RegistryMissing : StatusCode::RegistryFailed,
                    FileRole::RegistryKey);
}

}  // namespace

RegistryKey LocalMachineKey()
{
    return FromHandle(HKEY_LOCAL_MACHINE);
}

Status RegistryOpenKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key)
{
    HKEY opened = nullptr;
    WideName wide;
    LONG result = WidenName(subKey, wide) ? RegOpenKeyExW(ToHandle(parent), wide, 0, HostKeyAccess(access), &opened)
                                          : ERROR_INVALID_NAME;
    *key = result == ERROR_SUCCESS ? FromHandle(opened) : 0;
    return StatusOfResult(result);
}

Status RegistryCreateKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key,
                         KeyDisposition *disposition)
{
    HKEY created = nullptr;
    DWORD how = 0;
    WideName wide;
    LONG result = WidenName(subKey, wide) ? RegCreateKeyExW(ToHandle(parent), wide, 0, nullptr,
                                                            REG_OPTION_NON_VOLATILE, HostKeyAccess(access), nullptr,
                                                            &created,
                                                            &how)
                                          : ERROR_INVALID_NAME;
    *key = result == ERROR_SUCCESS ? FromHandle(created) : 0;
    *disposition = how == REG_OPENED_EXISTING_KEY ? KeyDisposition::OpenedExisting : KeyDisposition::CreatedNew;
    return StatusOfResult(result);
}

// A string value is read as UTF-16 and handed over as UTF-8, its stored
// length in bytes of UTF-8; one that does not fit `*size` bytes fails as a
// value larger than the buffer does.
Status RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size)
{
    WideName wideName;
    wchar_t value[PathBufferSize];
    DWORD valueType = 0, valueSize = sizeof value;
    LONG result = WidenName(name, wideName)
                      ? RegQueryValueExW(ToHandle(key), wideName, nullptr, &valueType,
                                         reinterpret_cast<BYTE *>(value), &valueSize)
                      : ERROR_INVALID_NAME;
    uint32_t length = valueSize;
    if (result == ERROR_SUCCESS && IsString(valueType)) {
        const int units = static_cast<int>(valueSize / sizeof(wchar_t));
        const int bytes = units ? WideCharToMultiByte(CP_UTF8, 0, value, units, reinterpret_cast<char *>(data),
                                                      static_cast<int>(*size), nullptr, nullptr)
                                : 0;
        if (units && bytes <= 0)
            result = ERROR_MORE_DATA;
        length = static_cast<uint32_t>(bytes);
    } else if (result == ERROR_SUCCESS) {
        if (valueSize <= *size)
            memcpy(data, value, valueSize);
        else
            result = ERROR_MORE_DATA;
    }
    *type = valueType;
    *size = length;
    return StatusOfResult(result);
}

Status RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size)
{
    WideName wideName;
    if (!WidenName(name, wideName))
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    if (!IsString(type))
        return StatusOfResult(RegSetValueExW(ToHandle(key), wideName, 0, type, data, size));
    wchar_t value[PathBufferSize];
    const int units = size ? MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char *>(data),
                                                 static_cast<int>(size), value, PathBufferSize)
                           : 0;
    if (size && units <= 0)
        return StatusOf(StatusCode::RegistryFailed, FileRole::RegistryKey);
    return StatusOfResult(RegSetValueExW(ToHandle(key), wideName, 0, type, reinterpret_cast<const BYTE *>(value),
                                         static_cast<DWORD>(units * sizeof(wchar_t))));
}

void RegistryCloseKey(RegistryKey key)
{
    RegCloseKey(ToHandle(key));
}

}  // namespace dorvan::platform
