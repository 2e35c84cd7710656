// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filestatus.h"
#include "textencoding.h"

#include <QFile>
#include <QString>

// What a source was when it was opened.
struct OpenedSource
{
    // The bytes after its byte order mark then: reading stops there, so a
    // file that another program keeps writing to still ends.
    qint64 Size = 0;
    QFile::Permissions Permissions;
    FileIdentity Identity;
    TextEncoding Encoding = TextEncoding::Bytes; // as its byte order mark tells
};

// Opens the listed source at `path` for reading into `file` without ever
// waiting (a FIFO would wait for a writer), checks on the file that was
// opened, not on the name before it, that it is a regular file, and takes
// its byte order mark. Returns why it cannot be read, in the system's words
// where it gave them ("Is a directory", "Not a regular file" otherwise);
// empty when `file` is open.
QString OpenSource(const QString &path, QFile &file, OpenedSource &opened);

// The size of the buffers that read an opened source and write its result.
qsizetype BufferSizeFor(const OpenedSource &opened);
