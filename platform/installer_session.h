// The seam to the Windows Installer session a custom action runs in: its
// properties, its log and its error messages. The portable build stands in
// with properties kept in memory, so that the actions run under the tests
// and the sanitizers too.
#pragma once

#include "platform/status.h"

namespace dorvan::platform {

using InstallerSession = unsigned long;  // an MSIHANDLE

// Bytes of UTF-8, terminator included: two paths and a snapshot fit.
constexpr int PropertySize = 2048;

// A property's value as UTF-8, empty when it is not set; false when it
// cannot be read or does not fit.
bool SessionProperty(InstallerSession session, const char *name, char (&value)[PropertySize]);
Status SetSessionProperty(InstallerSession session, const char *name, const char *value);

// Whether a product other than this session's is among the clients of a
// component that the package installs into the folder of Directory
// `directory`; `product` then names it. False when that cannot be told.
bool OtherProductHolds(InstallerSession session, const char *directory, char (&product)[PropertySize]);

// A line in the installer's log, UTF-8.
void LogToSession(InstallerSession session, const char *line);

// A failure as the installer's error message: shown by its own interface,
// and only logged when it runs without one (/qn).
void ReportToSession(InstallerSession session, const wchar_t *text);

}  // namespace dorvan::platform
