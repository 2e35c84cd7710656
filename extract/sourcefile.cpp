// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcefile.h"

#include "systemerror.h"

#include <QFileInfo>

namespace {

// Refuses what is not a regular file before opening it: opening a FIFO
// would wait for a writer, and a folder has no lines. What cannot be looked
// at is left to the opening, which tells why.
QString whyNotReadable(const QFileInfo &info)
{
    if (!info.exists())
        return {};
    if (info.isDir())
        return ReasonFor(Refusal::IsDirectory);
    if (!info.isFile())
        return ReasonFor(Refusal::NotRegularFile);
    return {};
}

} // namespace

QString OpenSource(const QString &path, QFile &source, TextEncoding &encoding)
{
    // The scan lists a name that is not UTF-8 with lone surrogates standing
    // for its bytes; Qt would encode them as U+FFFD and open another file.
    if (!path.isValidUtf16())
        return QStringLiteral("The name is not valid UTF-8, so it cannot be opened; rename the file");
    if (const QString why = whyNotReadable(QFileInfo(path)); !why.isEmpty())
        return why;
    source.setFileName(path);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return ReasonOf(source);
    encoding = ReadByteOrderMark(source);
    return {};
}

qsizetype BufferSizeFor(const QFile &source)
{
    // A small file needs no large buffers. With two bytes more than the file
    // the reader sees its end without growing, and the result of keeping it
    // whole, a line end added to its last line, fits in one write.
    // A large one is read and written 1 MiB at a time: larger blocks gain
    // nothing, and memory stays flat.
    constexpr qsizetype SmallestBuffer = 64, LargestBuffer = 1 << 20;
    return qBound<qint64>(SmallestBuffer, source.size() + 2, LargestBuffer);
}
