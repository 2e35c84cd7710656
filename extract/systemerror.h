// SPDX-License-Identifier: GPL-3.0-or-later
// Failure reasons in the system's own words. On Windows that is the message
// Windows has for its error code, in the system's language; elsewhere the C
// library's text for errno.
#pragma once

#include <QString>

class QIODevice;

// Why the last system call on this thread failed.
QString LastSystemError();

// Why the last call on `file` failed, which must be the last system call
// that failed. On Windows Qt words some failures from the C library's errno,
// in English (changing permissions), so its account is not taken there.
QString ReasonOf(const QIODevice &file);

// What the program refuses before the system is asked, said as the system
// says the same.
enum class Refusal { AccessDenied, FileExists, IsDirectory, NotRegularFile, SymbolicLink };
QString ReasonFor(Refusal refusal);
