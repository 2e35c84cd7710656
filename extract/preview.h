// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batchrun.h"
#include "textencoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// What a run would keep of one listed file.
struct FilePreview
{
    // At most this many of the first kept lines are kept, each cut to at
    // most so many bytes: enough to look at, whatever the folder holds.
    static constexpr qsizetype ShownLines = 20;
    static constexpr qsizetype ShownLineBytes = 1024;

    QString FileName;
    std::int64_t KeptLines = 0;
    // The numbers (from 1) of the first and last kept line; 0 when none is.
    std::int64_t FirstLine = 0;
    std::int64_t LastLine = 0;
    // The first kept lines as the source holds them, without line ends.
    QList<QByteArray> FirstKeptLines;
    TextEncoding Encoding = TextEncoding::Bytes;
    // Why the source could not be read; the counts then mean nothing.
    std::optional<BatchFailure> Failure;
};

struct BatchPreview
{
    QList<FilePreview> Files; // in list order, up to where the preview stopped
    bool Stopped = false;
};

// Reads every listed file as RunBatch reads it and tells what its result
// would hold, writing nothing. Where the settings ask for both passes, a
// run's second result replaces its first, so the preview shows the last
// pass. The observer is told of each file as a run tells it.
BatchPreview PreviewBatch(const BatchSettings &settings, const QString &FolderPath,
                          const QStringList &FileNames, const BatchObserver &observer = {});
