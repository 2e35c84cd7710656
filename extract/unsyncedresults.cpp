// SPDX-License-Identifier: GPL-3.0-or-later
#include "unsyncedresults.h"

#include "systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Syncs the whole file system that holds `folder`: one wait for the disk
// however many results it took.
QString syncFileSystemOf(const QString &folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return LastSystemError();
    const QString reason = ::syncfs(handle) == 0 ? QString() : LastSystemError();
    ::close(handle);
    return reason;
}
#else
QString syncFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return ReasonOf(file);
    return SyncToDisk(file.handle());
}
#endif

} // namespace

QString SyncToDisk(int handle)
{
#ifdef Q_OS_UNIX
    if (::fsync(handle) != 0)
        return LastSystemError();
#elif defined(Q_OS_WIN)
    if (::_commit(handle) != 0)
        return LastSystemError();
#endif
    return {};
}

void UnsyncedResults::add(const QString &FileName, const QString &path)
{
    m_results.append({FileName, path});
}

QList<UnsyncedResults::Failure> UnsyncedResults::syncAll()
{
    QList<Failure> failures;
#ifdef Q_OS_LINUX
    // Results of one run share their folder (the prefix's), so this is
    // usually one sync.
    QHash<QString, QString> reasonOfFolder;
    for (const Result &result : std::as_const(m_results)) {
        const QString folder = QFileInfo(result.Path).absolutePath();
        if (!reasonOfFolder.contains(folder))
            reasonOfFolder.insert(folder, syncFileSystemOf(folder));
        if (const QString reason = reasonOfFolder.value(folder); !reason.isEmpty())
            failures.append({result.FileName, result.Path, reason});
    }
#else
    for (const Result &result : std::as_const(m_results)) {
        if (const QString reason = syncFile(result.Path); !reason.isEmpty())
            failures.append({result.FileName, result.Path, reason});
    }
#endif
    m_results.clear();
    return failures;
}
