// The seam through which the library reads and writes registry keys and
// values, with the system registry's meanings and result codes.
#pragma once

#include <cstdint>

namespace dorvan::platform {

using RegistryKey = uintptr_t;  // an open key; 0 is none

RegistryKey LocalMachineKey();  // the predefined root HKEY_LOCAL_MACHINE

enum RegistryResult : long {
    RegistrySuccess = 0,
    RegistryNotFound = 2,      // key or value missing
    RegistryAccessDenied = 5,
    RegistryMoreData = 234,    // the value is larger than the buffer
};

enum RegistryType : uint32_t {
    RegistryString = 1,  // REG_SZ
    RegistryDword = 4,   // REG_DWORD
};

enum class KeyDisposition { CreatedNew = 1, OpenedExisting = 2 };

// Every key is opened, or created, with full access. Sub-key paths use '\'
// between their names, matched without regard to ASCII letter case.
long RegistryOpenKey(RegistryKey parent, const char *subKey, RegistryKey *key);
long RegistryCreateKey(RegistryKey parent, const char *subKey, RegistryKey *key, KeyDisposition *disposition);

// Reads value `name` into `data` (`*size` bytes at most). On return `*type`
// holds its type and `*size` its length; a value larger than the buffer
// gives RegistryMoreData and leaves the buffer's content unspecified.
long RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size);
long RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size);
void RegistryCloseKey(RegistryKey key);

}  // namespace dorvan::platform
