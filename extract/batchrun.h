// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The settings of one run, as the fields hold them when it starts.
struct BatchSettings
{
    QString StartLineText;
    QString EndLineText = QStringLiteral("*");
    QString LowValueText;
    QString HighValueText;
    QString SavePrefix;
    bool ByLines = true;
    bool ByValue = false;
};

struct BatchFailure
{
    enum class Side { Source, Result };

    QString FileName; // the listed name
    Side FailedSide = Side::Source;
    QString Path;     // the path that failed: the source's or the result's
    QString Reason;   // the system's words
};

struct BatchReport
{
    qsizetype Total = 0; // files the run was to handle, over all passes
    qsizetype Done = 0;  // files whose result was written
    qsizetype Empty = 0; // of those, results that hold no line
    QString ResultFolder; // absolute path of the folder the results are written into
    bool Stopped = false;
    QList<BatchFailure> Failures;
};

// Told of each file as it starts: its place (from 0) among `count`, and its
// name. Returning false stops the run before that file.
using BatchObserver = std::function<bool(qsizetype index, qsizetype count, const QString &name)>;

// Writes, for every listed file of the folder, the result file SavePrefix +
// name, relative to the working directory: by line numbers when ByLines is
// set, then by first-column value when ByValue is set. A file that fails is
// reported and the run goes on with the next one. Every result is on disk
// when the run returns, also when it was stopped.
BatchReport RunBatch(const BatchSettings &settings, const QString &FolderPath,
                     const QStringList &FileNames, const BatchObserver &observer = {});

// The path of a listed file: folder, separator, name.
QString SourcePathOf(const QString &FolderPath, const QString &FileName);

// The absolute folder a run writes its results into: the working directory,
// or the folder that the prefix names.
QString ResultFolderOf(const QString &SavePrefix);
