// What each export's caller sees of a status, decided here and nowhere
// else. One table gives every failure its message; an installer action of
// Dorvan.dll shows it in a box and answers 0, its twin in DorvanSetup.dll
// answers the message's id and hands back its text, and a service function
// answers its failure code.
#pragma once

#include "dictionary/dictionary_paths.h"
#include "platform/memory.h"
#include "platform/status.h"

namespace dorvan {

struct FailureMessage {
    unsigned id;     // the string resource, 17 to 24
    bool namesFile;  // %1 is the file the status concerns
    bool ownerOnly;  // shown by an installer action only with an owner window
};

FailureMessage MessageFor(StatusCode code);

// What an export was given, from which a message composes the path of the
// file a status concerns: the map data directory, and the folder holding
// the entry.
struct CallInputs {
    const char *mapDataDir = nullptr;
    const char *sourceDir = nullptr;
};

// The path of the file a status concerns, as its message names it: the
// dictionary for a status about it, its journal or its numbered copies
// (the journal or copy in progress itself when it is left alone as
// another account's),
// the entry for one about the entry, and nothing for any other. Composed
// in `fitting`, or whole in `whole` where it is longer, or cut to
// `fitting` when there is no memory for that.
const char *StatusFileText(const Status &status, const CallInputs &inputs, platform::HeapBlock &whole,
                           char (&fitting)[PathBufferSize]);

// 1 on success; else 0, after the message that the status calls for, with
// the file it concerns as its insert. Messages 20 to 22 (a file that cannot
// be opened, held or read) are shown only with an owner window; the others
// always.
unsigned char AnswerInstallerAction(void *owner, const Status &status, const CallInputs &inputs = {});

// 0 on success; else the id of the message that an installer action shows
// for the status (20 to 22 too: there is no owner window to need), its
// text written into `message` (which may be null) as wide characters,
// always terminated and cut to `messageChars` characters, terminator
// included.
int AnswerWithText(const Status &status, const CallInputs &inputs, wchar_t *message, int messageChars);

// -1, with `message` emptied: DorvanSetup.dll's answer to an argument it
// cannot take (a snapshot text it did not write, a buffer too small).
int AnswerBadArgument(wchar_t *message, int messageChars);

// `success` on success, else `failure`: each service function has one
// failure code (-1, or -2 for the file search).
int AnswerServiceFunction(const Status &status, int success, int failure);

}  // namespace dorvan
