// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcefile.h"

#include "systemerror.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
QString OpenSource(const QString &path, QFile &file, OpenedSource &opened)
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
QString OpenSource(const QString &path, QFile &file, OpenedSource &opened)
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
