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

// What a key is opened for: Dorvan.dll opens every key with full access,
// as its callers have always seen it; DorvanSetup.dll reads with read
// access alone and asks to write only where it records a directory, so
// that a standard user's repair can still read the host's keys.
enum class KeyAccess { Full, Read, Write };

// Sub-key paths use '\' between their names, matched without regard to
// ASCII letter case. A key opened for Read takes no value.
Status RegistryOpenKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key);
Status RegistryCreateKey(RegistryKey parent, const char *subKey, KeyAccess access, RegistryKey *key,
                         KeyDisposition *disposition);

// Reads value `name` into `data` (`*size` bytes at most). On return `*type`
// holds its type and `*size` its length; a value larger than the buffer
// fails and leaves the buffer's content unspecified.
Status RegistryQueryValue(RegistryKey key, const char *name, uint32_t *type, uint8_t *data, uint32_t *size);
Status RegistrySetValue(RegistryKey key, const char *name, uint32_t type, const uint8_t *data, uint32_t size);
void RegistryCloseKey(RegistryKey key);

}  // namespace dorvan::platform
