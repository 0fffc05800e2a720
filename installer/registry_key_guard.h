#pragma once

#include "platform/registry.h"

namespace dorvan {

// Closes an open registry key when it goes out of scope, so keys declared
// one after another are closed in the reverse order of opening.
class RegistryKeyGuard {
public:
    RegistryKeyGuard() = default;
    RegistryKeyGuard(const RegistryKeyGuard &) = delete;
    RegistryKeyGuard &operator=(const RegistryKeyGuard &) = delete;
    ~RegistryKeyGuard() { Close(); }

    platform::RegistryKey *Receive() { return &key_; }
    platform::RegistryKey Get() const { return key_; }
    void Close()
    {
        if (key_)
            platform::RegistryCloseKey(key_);
        key_ = 0;
    }

private:
    platform::RegistryKey key_ = 0;
};

}  // namespace dorvan
