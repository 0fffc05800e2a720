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
    MessageWriteFailed = 23,        // %1: the file written, or left alone as another account's
    MessageRegistryFailed = 24,
};

constexpr unsigned StopStyle = 0x10;  // stop-sign icon, single OK button

// The caption of every message box the library shows.
extern const char MessageCaption[];

// Shows string resource `id` in a message box owned by `owner`; returns the
// button pressed. A missing resource shows an empty text.
int ShowMessage(void *owner, unsigned id, unsigned style);

// Shows string resource `id` with its %1 replaced by the first insert,
// placed verbatim. Every caller passes exactly one insert: a path.
int ShowFormattedMessage(void *owner, unsigned id, unsigned style, ...);

}  // namespace dorvan
