// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "textencoding.h"

#include <QFile>
#include <QString>

// Opens the listed source at `path` for reading into `source` and takes its
// byte order mark: `encoding` tells how the rest of it is stored. Returns why
// it cannot be read, in the system's words where it gave them; empty when
// `source` is open.
QString OpenSource(const QString &path, QFile &source, TextEncoding &encoding);

// The size of the buffers that read an open source and write its result.
qsizetype BufferSizeFor(const QFile &source);
