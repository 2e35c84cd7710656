#pragma once

// Small file helpers shared by the tests that run whole batches on real
// folders.

#include "batchrun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's bytes, or a null array when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray(""); // readable but empty
    return bytes;
}

// Every entry of a folder, hidden ones too, sorted by name: what a run left
// there, temporary files included.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                      | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The lines "L<first>" to "L<last>", each ended by CR LF; none when last < first.
inline QByteArray numberedLines(int first, int last)
{
    QByteArray bytes;
    for (int i = first; i <= last; ++i)
        bytes += "L" + QByteArray::number(i) + "\r\n";
    return bytes;
}

inline BatchSettings byLines(const QString &from, const QString &to)
{
    BatchSettings settings;
    settings.StartLineText = from;
    settings.EndLineText = to;
    return settings;
}

inline BatchSettings byValue(const QString &low, const QString &high)
{
    BatchSettings settings;
    settings.ByLines = false;
    settings.ByValue = true;
    settings.LowValueText = low;
    settings.HighValueText = high;
    return settings;
}

// Runs `settings` on a folder that holds only a.txt with `bytes`, and gives
// a.txt's result: a null array when the run reported a failure.
inline QByteArray resultOfOneFile(BatchSettings settings, const QByteArray &bytes)
{
    QTemporaryDir root;
    if (!writeFile(root.filePath(QStringLiteral("a.txt")), bytes))
        return {};
    settings.SavePrefix = root.filePath(QStringLiteral("r_"));
    const BatchReport report = RunBatch(settings, root.path(), {QStringLiteral("a.txt")});
    if (!report.Failures.isEmpty())
        return {};
    return readFile(root.filePath(QStringLiteral("r_a.txt")));
}
