// SPDX-License-Identifier: GPL-3.0-or-later
// Failure reasons in the system's own words. On Windows that is the message
// Windows has for its error code, in the system's language; elsewhere the C
// library's text for errno.
#pragma once

#include <QString>

class QIODevice;

// Why the last system call on this thread failed.
QString LastSystemError();

// Why the last call on `file` failed. Qt's account is taken where it is the
// system's; on Windows Qt words some errors itself, in English.
QString ReasonOf(const QIODevice &file);

// What the program refuses before the system is asked, said as the system
// says the same.
enum class Refusal { AccessDenied, FileExists, IsDirectory, NotRegularFile, SymbolicLink };
QString ReasonFor(Refusal refusal);
