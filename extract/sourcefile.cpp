// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcefile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString IsDirectory = u"Is a directory"_s, NotRegular = u"Not a regular file"_s;

} // namespace

#ifdef Q_OS_UNIX
QString OpenSource(const QString &path, QFile &file, OpenedSource &opened)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0)
        return qt_error_string(errno);
    struct stat status;
    QString reason;
    if (::fstat(handle, &status) != 0)
        reason = qt_error_string(errno);
    else if (S_ISDIR(status.st_mode))
        reason = IsDirectory;
    else if (!S_ISREG(status.st_mode))
        reason = NotRegular;
    else if (!file.open(handle, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        reason = file.errorString();
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
        return IsDirectory;
    if (info.exists() && !info.isFile())
        return NotRegular;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    opened = {file.size(), file.permissions(), {}};
    return {};
}
#endif
