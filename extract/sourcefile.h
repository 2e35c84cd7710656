// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filestatus.h"

#include <QFile>
#include <QString>

// What a source was when it was opened.
struct OpenedSource
{
    // Its size then: reading stops there, so a file that another program
    // keeps writing to still ends.
    qint64 Size = 0;
    QFile::Permissions Permissions;
    FileIdentity Identity;
};

// Opens the source at `path` for reading into `file` without ever waiting
// (a FIFO would wait for a writer), and checks on the file that was opened,
// not on the name before it, that it is a regular file: else "Is a
// directory" or "Not a regular file". Gives the system's reason on failure.
QString OpenSource(const QString &path, QFile &file, OpenedSource &opened);
