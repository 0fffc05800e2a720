// The seam through which the library reads and writes registry keys and
// values, with the system registry's meanings. Each answers success,
// RegistryMissing (no such key or value) or RegistryFailed.
#pragma once

#include <cstdint>

#include "platform/status.h"

namespace dorvan::platform {

using RegistryKey = uintptr_t;  // an open key; 0 is none

RegistryKey LocalMachineKey();  // the predefined root HKEY_LOCAL_MACHINE

enum RegistryType : uint32_t {
    RegistryString = 1,  // REG_SZ
    RegistryDword = 4,   // REG_DWORD
};

enum class KeyDisposition { CreatedNew = 1, OpenedExisting = 2 };

// Every key is opened, or created, with full access. Sub-key paths use '\'
// between their names, matched without regard to ASCII letter case.
Status RegistryOpenKey(RegistryKey parent, const char *subKey, RegistryKey *key);
Status RegistryCreateKey(RegistryKey parent, const char *subKey, RegistryKey *key, KeyDisposition *disposition);

// Reads value `name` into `data` (`*size` bytes at most). On return `*type`
// holds its type and `*size` its length; a value larger than the buffer
// fails and leaves the buffer's content unspecified.
Status RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size);
Status RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size);
void RegistryCloseKey(RegistryKey key);

}  // namespace dorvan::platform
