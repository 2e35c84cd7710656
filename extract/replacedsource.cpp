// SPDX-License-Identifier: GPL-3.0-or-later
#include "replacedsource.h"

#include "batchrun.h"
#include "filestatus.h"

#include <QFile>
#include <QMultiHash>

#include <algorithm>
#include <optional>

#ifdef Q_OS_WIN
#include "win32path.h"

#include <windows.h>
#endif

namespace {

// Names one file whatever path leads to it: its device and inode, or on
// Windows its volume and file index. Nothing when there is no such file.
std::optional<FileIdentity> fileIdentity(const QString &path)
{
    if (!path.isValidUtf16())
        return std::nullopt; // a name that is not UTF-8 is never opened
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
#else
    // Opening with no access right reads them even from a file another
    // program holds open.
    const HANDLE file = ::CreateFileW(reinterpret_cast<const wchar_t *>(Win32Path(path).utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!known)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
#endif
}

} // namespace

QList<ReplacedSource> FindReplacedSources(const QString &SavePrefix, const QString &FolderPath,
                                          const QStringList &FileNames)
{
    QMultiHash<FileIdentity, QString> sources; // several listed names may be one file
    for (const QString &name : FileNames) {
        if (const std::optional<FileIdentity> identity = fileIdentity(SourcePathOf(FolderPath, name)))
            sources.insert(*identity, name);
    }
    QList<ReplacedSource> replaced;
    for (const QString &name : FileNames) {
        const QString result = SavePrefix + name;
        const std::optional<FileIdentity> identity = fileIdentity(result);
        const QStringList names = identity ? sources.values(*identity) : QStringList();
        if (names.isEmpty())
            continue;
        const auto other = std::find_if(names.cbegin(), names.cend(), [&](const QString &n) { return n != name; });
        replaced.append(other == names.cend() ? ReplacedSource{name, result, name, true}
                                              : ReplacedSource{name, result, *other, false});
    }
    return replaced;
}
