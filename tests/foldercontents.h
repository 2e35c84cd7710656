#pragma once

#include "batchfixture.h"

#include <QDirIterator>
#include <QMap>

// Everything under `folder`, hidden entries included: each relative path
// with the file's bytes, or "<folder>" for a folder.
inline QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        contents.insert(base.relativeFilePath(entry.filePath()),
                        entry.isDir() ? QByteArray("<folder>") : readFile(entry.filePath()));
    }
    return contents;
}
