#pragma once

namespace dorvan {

// The caption of every message box the library shows.
extern const char MessageCaption[];

// Shows string resource `id` in a message box owned by `owner`; returns the
// button pressed. A missing resource shows an empty text.
int ShowMessage(void *owner, unsigned id, unsigned style);

// Shows string resource `id` with its %1 replaced by the first insert,
// placed verbatim. Every caller passes exactly one insert: a path.
int ShowFormattedMessage(void *owner, unsigned id, unsigned style, ...);

}  // namespace dorvan
