// SPDX-License-Identifier: GPL-3.0-or-later
#include "replacedsource.h"

#include "batchrun.h"
#include "folderstate.h"

#include <QByteArray>
#include <QFile>
#include <QHash>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Names one file whatever path leads to it: its device and inode, or on
// Windows its volume and file index. Empty when there is no such file.
QByteArray fileIdentity(const QString &path)
{
    if (!path.isValidUtf16())
        return {}; // a name that is not UTF-8 is never opened
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
#else
    // Opening with no access right reads them even from a file another
    // program holds open.
    const HANDLE file = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!known)
        return {};
    return QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':'
        + QByteArray::number(quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow);
#endif
}

} // namespace

std::optional<ReplacedSource> FirstReplacedSource(const BatchSettings &settings, const FolderState &folder)
{
    QHash<QByteArray, QString> sources;
    for (const QString &name : folder.FileNames) {
        const QByteArray identity = fileIdentity(SourcePathOf(folder.FolderPath, name));
        if (!identity.isEmpty())
            sources.insert(identity, name);
    }
    for (const QString &name : folder.FileNames) {
        const QString result = settings.SavePrefix + name;
        const auto source = sources.constFind(fileIdentity(result));
        if (source != sources.cend())
            return ReplacedSource{name, result, *source};
    }
    return std::nullopt;
}
