// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// Writes text to standard output or error as the platform's programs read
// it: on a Windows console as UTF-16, which it shows whatever its code page;
// to pipes and files in the system's code page (UTF-8 on Linux).
void WriteText(std::FILE *stream, const QString &text);

// A one-line count of files done on a terminal, once the run has taken a
// second; cleared when the run ends. Used as the run's BatchObserver.
class Progress
{
public:
    Progress();
    ~Progress();

    bool operator()(qsizetype index, qsizetype count, const QString &name);

private:
    bool m_enabled; // standard error can show a line and clear it again
    bool m_shown = false;
    QElapsedTimer m_clock;
};
