#pragma once

// Small file helpers shared by the tests that run whole batches on real
// folders.

#include "batchrun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

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

// The lines first..last (from 1, inclusive) of `lines`, each ended by CR LF.
inline QByteArray joinedCrLf(const QByteArrayList &lines, qsizetype first, qsizetype last)
{
    QByteArray joined;
    for (qsizetype i = first; i <= last; ++i)
        joined += lines[i - 1] + "\r\n";
    return joined;
}
