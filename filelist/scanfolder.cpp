#include "folderstate.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

const std::array<QLatin1StringView, 3> Extensions = {
    QLatin1StringView(".txt"), QLatin1StringView(".asc"), QLatin1StringView(".dat")};

// Sorted by the names' bytes on disk, so that a run takes the files in the
// same order on every file system and in every locale.
void sortByBytes(QStringList &names)
{
    std::vector<std::pair<QByteArray, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString &name : names)
        keyed.emplace_back(QFile::encodeName(name), name);
    std::sort(keyed.begin(), keyed.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = keyed[i].second;
}

} // namespace

void ScanFolder(FolderState &state)
{
    state.FileNames.clear();
    if (state.FolderPath.isEmpty())
        return; // QDir would take the working directory for it
    const QDir folder(state.FolderPath);
    const QStringList found = folder.entryList(
        {QStringLiteral("*.txt"), QStringLiteral("*.asc"), QStringLiteral("*.dat")},
        QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);

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
