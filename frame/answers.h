// What each export's caller sees of a status, decided here and nowhere
// else: an installer action shows the failure's message and answers 0, a
// service function answers its failure code.
#pragma once

#include "platform/status.h"

namespace dorvan {

// 1 on success; else 0, after the message that the status calls for, with
// the file it concerns as its insert. Messages 20 to 22 (a file that cannot
// be opened, held or read) are shown only with an owner window; the others
// always.
unsigned char AnswerInstallerAction(void *owner, const Status &status);

// `success` on success, else `failure`: each service function has one
// failure code (-1, or -2 for the file search).
int AnswerServiceFunction(const Status &status, int success, int failure);

}  // namespace dorvan
