#pragma once

namespace dorvan {

// Identifiers of the string resources, and the one style every box uses.
enum MessageId : unsigned {
    MessageConfirmAbort = 16,       // shown by no operation
    MessageHostMissing = 17,
    MessageNoDataPath = 18,         // shown by no operation
    MessageDictionaryMissing = 19,  // %1: dictionary path
    MessageOpenFailed = 20,         // %1: file path
    MessageOutOfMemory = 21,
    MessageReadFailed = 22,         // %1: file path
    MessageWriteFailed = 23,        // %1: dictionary path
    MessageRegistryFailed = 24,
};

constexpr unsigned StopStyle = 0x10;  // stop-sign icon, single OK button

}  // namespace dorvan
