// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderstate.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include "win32path.h"

#include <windows.h>
#endif

namespace {

const std::array<QLatin1StringView, 3> Extensions = {
    QLatin1StringView(".txt"), QLatin1StringView(".asc"), QLatin1StringView(".dat")};

// The bytes of a listed name on disk, whether it was escaped or not.
QByteArray nameBytes(const QString &name)
{
    if (std::none_of(name.begin(), name.end(), IsEscapedByte))
        return QFile::encodeName(name);
    QByteArray bytes;
    for (const QChar c : name)
        bytes.append(char(IsEscapedByte(c) ? c.unicode() - 0xDC00 : c.unicode()));
    return bytes;
}

// Sorted by the names' bytes on disk, so that a run takes the files in the
// same order on every file system and in every locale.
void sortByBytes(QStringList &names)
{
    std::vector<std::pair<QByteArray, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString &name : names)
        keyed.emplace_back(nameBytes(name), name);
    std::sort(keyed.begin(), keyed.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = keyed[i].second;
}

#ifdef Q_OS_UNIX
// Qt decodes file names as UTF-8 and leaves out those that are not, such as
// GBK names unpacked from a Windows archive. They are listed here, escaped,
// so that no data file goes missing from the list unnoticed.
QStringList namesNotInUtf8(const QString &folderPath)
{
    QStringList names;
    const QByteArray folder = QFile::encodeName(folderPath);
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || QFile::encodeName(QFile::decodeName(name)) == name)
            continue; // hidden, or listed by QDir
        const QByteArray path = folder + '/' + name;
        struct stat info;
        if (::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
            names.append(EscapedName(name));
    }
    ::closedir(dir);
    return names;
}
#endif

#ifdef Q_OS_WIN
// QDir leaves out the files Windows marks hidden, but lists those it marks
// system, which Explorer does not show either.
bool isSystemFile(const QDir &folder, const QString &name)
{
    const QString path = Win32Path(folder.filePath(name));
    const DWORD attributes = ::GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM);
}
#endif

} // namespace

// Every byte above 127 becomes a lone surrogate U+DC80..U+DCFF. No UTF-8
// name decodes to such a text, so a run can tell these names apart and
// refuse them instead of opening another file.
QString EscapedName(const QByteArray &bytes)
{
    QString name;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        name.append(QChar(byte < 0x80 ? byte : 0xDC00 + byte));
    }
    return name;
}

void ScanFolder(FolderState &state)
{
    state.FileNames.clear();
    if (state.FolderPath.isEmpty())
        return; // QDir would take the working directory for it
    const QDir folder(state.FolderPath);
    QStringList patterns;
    for (const QLatin1StringView extension : Extensions)
        patterns.append(u'*' + extension);
    QStringList found = folder.entryList(patterns, QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
#ifdef Q_OS_UNIX
    found.append(namesNotInUtf8(state.FolderPath));
#endif
#ifdef Q_OS_WIN
    found.removeIf([&](const QString &name) { return isSystemFile(folder, name); });
#endif

    for (const QLatin1StringView extension : Extensions) {
        QStringList group;
        for (const QString &name : found) {
            if (name.endsWith(extension, Qt::CaseInsensitive))
                group.append(name);
        }
        sortByBytes(group);
        state.FileNames.append(group);
    }
}
