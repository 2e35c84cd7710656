// SPDX-License-Identifier: GPL-3.0-or-later
#include "unsyncedresults.h"

#include "resultfolder.h"
#include "systemerror.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

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

void UnsyncedResults::add(const QString &FileName, const QString &name, const QString &path)
{
    m_results.append({FileName, name, path});
}

QList<UnsyncedResults::Failure> UnsyncedResults::syncAll(const ResultFolder &folder)
{
    QList<Failure> failures;
#ifdef Q_OS_LINUX
    if (const QString reason = m_results.isEmpty() ? QString() : folder.syncFileSystem(); !reason.isEmpty()) {
        for (const Result &result : std::as_const(m_results))
            failures.append({result.FileName, result.Path, reason});
    }
#else
    for (const Result &result : std::as_const(m_results)) {
        if (const QString reason = folder.sync(result.Name); !reason.isEmpty())
            failures.append({result.FileName, result.Path, reason});
    }
#endif
    m_results.clear();
    return failures;
}
