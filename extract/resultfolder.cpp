// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultfolder.h"

#include "systemerror.h"
#include "unsyncedresults.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif
#ifdef Q_OS_WIN
#include "win32path.h"

#include <windows.h>
#endif

using namespace Qt::StringLiterals;

#ifdef Q_OS_UNIX

ResultFolder::ResultFolder(const QString &path)
    : m_handle(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_handle < 0)
        m_error = LastSystemError();
}

ResultFolder::~ResultFolder()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

EarlierFile ResultFolder::look(const QString &name) const
{
    EarlierFile earlier;
    struct stat status;
    if (::fstatat(m_handle, QFile::encodeName(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            earlier.Reason = LastSystemError();
        return earlier;
    }
    earlier.Type = S_ISLNK(status.st_mode)   ? EarlierFile::Kind::Link
                 : S_ISDIR(status.st_mode) ? EarlierFile::Kind::Folder
                 : S_ISREG(status.st_mode) ? EarlierFile::Kind::Regular
                                           : EarlierFile::Kind::Other;
    earlier.Identity = IdentityOf(status);
    earlier.Owner = status.st_uid;
    earlier.Group = status.st_gid;
    earlier.Foreign = status.st_uid != ::geteuid();
    earlier.Permissions = PermissionsOf(status.st_mode);
    return earlier;
}

QString ResultFolder::whyNotWritable(const QString &name) const
{
    if (::faccessat(m_handle, QFile::encodeName(name).constData(), W_OK, AT_EACCESS) != 0)
        return LastSystemError();
    return {};
}

QString ResultFolder::create(const QString &name, QFile::Permissions permissions, QFile &file) const
{
    const int handle = ::openat(m_handle, QFile::encodeName(name).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ModeOf(permissions));
    if (handle < 0)
        return LastSystemError();
    if (!file.open(handle, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return file.errorString();
    }
    return {};
}

QString ResultFolder::rename(const QString &from, const QString &to) const
{
    if (::renameat(m_handle, QFile::encodeName(from).constData(), m_handle, QFile::encodeName(to).constData()) != 0)
        return LastSystemError();
    return {};
}

void ResultFolder::remove(const QString &name) const
{
    ::unlinkat(m_handle, QFile::encodeName(name).constData(), 0);
}

#ifdef Q_OS_LINUX
namespace {

// What `get` gives: a list of attribute names or an attribute's value,
// asked for its size first. The system's reason when it fails.
template <class Get>
QString sizedBytes(QByteArray &bytes, const Get &get)
{
    const ssize_t size = get(nullptr, 0);
    if (size < 0)
        return LastSystemError();
    bytes.resize(size);
    return get(bytes.data(), size) == size ? QString() : LastSystemError();
}

} // namespace

QString ResultFolder::copyExtendedAttributes(const QString &name, QFile &file) const
{
    // Opened to be read, which neither blocks nor changes the file; one the
    // process may not read keeps its attributes to itself.
    const int from = ::openat(m_handle, QFile::encodeName(name).constData(),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (from < 0)
        return errno == EACCES ? QString() : LastSystemError();
    QByteArray names, value;
    QString reason = sizedBytes(names, [&](char *to, size_t size) { return ::flistxattr(from, to, size); });
    for (qsizetype at = 0; reason.isEmpty() && at < names.size(); at += qstrlen(names.constData() + at) + 1) {
        const char *attribute = names.constData() + at;
        reason = sizedBytes(value, [&](char *to, size_t size) { return ::fgetxattr(from, attribute, to, size); });
        if (reason.isEmpty() && ::fsetxattr(file.handle(), attribute, value.constData(), value.size(), 0) != 0)
            reason = LastSystemError();
    }
    ::close(from);
    return reason;
}

QString ResultFolder::syncFileSystem() const
{
    return ::syncfs(m_handle) == 0 ? QString() : LastSystemError();
}
#else
QString ResultFolder::copyExtendedAttributes(const QString &, QFile &) const
{
    return {};
}

QString ResultFolder::sync(const QString &name) const
{
    const int handle = ::openat(m_handle, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return LastSystemError();
    QString reason = SyncToDisk(handle);
    if (reason.isEmpty())
        reason = SyncToDisk(m_handle); // the new names
    ::close(handle);
    return reason;
}
#endif

#else // Windows: by paths, the folder's as given

// A folder that is not there shows when its first result is created.
ResultFolder::ResultFolder(const QString &path)
    : m_path(path)
{
}

ResultFolder::~ResultFolder() = default;

EarlierFile ResultFolder::look(const QString &name) const
{
    const QFileInfo info(pathOf(name));
    EarlierFile earlier;
    if (info.isSymLink())
        earlier.Type = EarlierFile::Kind::Link;
    else if (info.isDir())
        earlier.Type = EarlierFile::Kind::Folder;
    else if (info.isFile())
        earlier.Type = EarlierFile::Kind::Regular;
    else if (info.exists())
        earlier.Type = EarlierFile::Kind::Other;
    earlier.Permissions = info.permissions();
    return earlier;
}

QString ResultFolder::whyNotWritable(const QString &name) const
{
    return QFileInfo(pathOf(name)).isWritable() ? QString() : ReasonFor(Refusal::AccessDenied);
}

QString ResultFolder::create(const QString &name, QFile::Permissions permissions, QFile &file) const
{
    file.setFileName(pathOf(name));
    // NewOnly creates the file or fails; it never opens one that is there.
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, permissions))
        return {};
    return ReasonOf(file);
}

QString ResultFolder::rename(const QString &from, const QString &to) const
{
    const QString nativeFrom = Win32Path(pathOf(from)), nativeTo = Win32Path(pathOf(to));
    if (!::MoveFileExW(reinterpret_cast<const wchar_t *>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t *>(nativeTo.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastSystemError();
    return {};
}

void ResultFolder::remove(const QString &name) const
{
    QFile::remove(pathOf(name));
}

QString ResultFolder::copyExtendedAttributes(const QString &, QFile &) const
{
    return {};
}

QString ResultFolder::sync(const QString &name) const
{
    QFile file(pathOf(name));
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return ReasonOf(file);
    return SyncToDisk(file.handle());
}

#endif
