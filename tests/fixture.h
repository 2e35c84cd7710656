// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the engine's tests.

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#else
#include <windows.h>
#endif

using namespace Qt::StringLiterals;
using Contents = QMap<QString, QByteArray>;

// A data function's rows: one for each entry of `table`, named by it, whose
// test fetches the entry as `const Row *row`.
template <class Row, std::size_t Size>
void addTableRows(const Row (&table)[Size])
{
    QTest::addColumn<const Row *>("row");
    for (const Row &row : table)
        QTest::newRow(row.name) << &row;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's bytes; none when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything under a folder, hidden and temporary files included: each
// relative path with the file's bytes, "<folder>" for a folder, or where a
// symbolic link points.
inline Contents folderContents(const QString &folder)
{
    Contents contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        contents.insert(QDir(folder).relativeFilePath(entry.filePath()),
                        entry.isSymLink() ? "<link to " + entry.symLinkTarget().toUtf8() + '>'
                        : entry.isDir()   ? QByteArray("<folder>")
                                          : readFile(entry.filePath()));
    }
    return contents;
}

// A second name for the file `from`; false where the file system has none.
inline bool hardLink(const QString &from, const QString &to)
{
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    return ::CreateHardLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                             reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()), nullptr);
#endif
}
