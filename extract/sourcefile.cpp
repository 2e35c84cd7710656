// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcefile.h"

#include "systemerror.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
QString openRegularFile(const QString &path, QFile &file, OpenedSource &opened)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0)
        return LastSystemError();
    struct stat status;
    QString reason;
    if (::fstat(handle, &status) != 0)
        reason = LastSystemError();
    else if (S_ISDIR(status.st_mode))
        reason = ReasonFor(Refusal::IsDirectory);
    else if (!S_ISREG(status.st_mode))
        reason = ReasonFor(Refusal::NotRegularFile);
    else if (!file.open(handle, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        reason = ReasonOf(file);
    if (!reason.isEmpty()) {
        ::close(handle);
        return reason;
    }
    opened = {status.st_size, PermissionsOf(status.st_mode), IdentityOf(status)};
    return {};
}
#else
// No FIFO can stand at a name here: the name is checked, then opened.
QString openRegularFile(const QString &path, QFile &file, OpenedSource &opened)
{
    const QFileInfo info(path);
    if (info.isDir())
        return ReasonFor(Refusal::IsDirectory);
    if (info.exists() && !info.isFile())
        return ReasonFor(Refusal::NotRegularFile);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return ReasonOf(file);
    opened = {file.size(), file.permissions(), {}};
    return {};
}
#endif

} // namespace

QString OpenSource(const QString &path, QFile &file, OpenedSource &opened)
{
    // The scan lists a name that is not UTF-8 with lone surrogates standing
    // for its bytes; Qt would encode them as U+FFFD and open another file.
    if (!path.isValidUtf16())
        return QStringLiteral("The name is not valid UTF-8, so it cannot be opened; rename the file");
    if (const QString why = openRegularFile(path, file, opened); !why.isEmpty())
        return why;
    opened.Encoding = ReadByteOrderMark(file);
    opened.Size -= file.pos();
    return {};
}

qsizetype BufferSizeFor(const OpenedSource &opened)
{
    // A small file needs no large buffers. With two bytes more than the file
    // the reader sees its end without growing, and the result of keeping it
    // whole, a line end added to its last line, fits in one write.
    // A large one is read and written 1 MiB at a time: larger blocks gain
    // nothing, and memory stays flat.
    constexpr qsizetype SmallestBuffer = 64, LargestBuffer = 1 << 20;
    return qBound<qint64>(SmallestBuffer, opened.Size + 2, LargestBuffer);
}
