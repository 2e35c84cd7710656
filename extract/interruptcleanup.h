// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFile;
class ResultFolder;

// A program that writes results calls this once at its start: when it is
// then ended by SIGINT, SIGTERM or SIGHUP (on Windows by Ctrl+C, Ctrl+Break
// or the closing of its console), the temporary file being written is
// removed first, and the program ends as the signal would have ended it. A
// signal the program was started to ignore stays ignored.
void RemoveTemporaryFileOnInterrupt();

// The temporary file being written, from before it is created until it has
// been renamed or removed: `name` in `folder`, open in `file` once created.
// One at a time.
void TemporaryFileStarted(const ResultFolder &folder, const QString &name);
void TemporaryFileOpened(const QFile &file);
void TemporaryFileGone();
