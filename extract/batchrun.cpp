// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchrun.h"

#include "extraction.h"
#include "linereader.h"
#include "resultfolder.h"
#include "resultwriter.h"
#include "sourcefile.h"
#include "unsyncedresults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <system_error>

namespace {

// Where a file's result goes: `Name` in `Folder`, which is `Path` as the
// run was given it.
struct ResultPlace
{
    const ResultFolder &Folder;
    QString Name, Path;
};

// Reads one source and writes its result; a result that holds no line joins
// `emptyResults`. Returns the failure, if any.
std::optional<BatchFailure> extractFile(ExtractMode mode, const LineRanges &ranges, const QString &name,
                                        const QString &sourcePath, const ResultPlace &result,
                                        UnsyncedResults &unsynced, QSet<QString> &emptyResults)
{
    const auto failure = [&](BatchFailure::Side side, const QString &reason) {
        const QString &path = side == BatchFailure::Side::Source ? sourcePath : result.Path;
        return BatchFailure{name, side, path, reason};
    };

    QFile source;
    OpenedSource opened;
    if (const QString why = OpenSource(sourcePath, source, opened); !why.isEmpty())
        return failure(BatchFailure::Side::Source, why);
    const qsizetype bufferSize = BufferSizeFor(opened);
    // Owner-writable, so that the next run may replace it even where the
    // sources are kept read-only.
    ResultWriter kept(result.Folder, result.Name, bufferSize);
    if (!kept.open(opened.Permissions | QFile::WriteOwner, opened.Encoding, opened.Identity))
        return failure(BatchFailure::Side::Result, kept.errorString());

    LineReader lines(source, bufferSize, opened.Encoding, opened.Size);
    const bool written = ExtractLines(mode, ranges, lines, kept);
    const bool readFailed = lines.failed();
    const QString readError = lines.errorString();
    source.close();

    if (readFailed)
        return failure(BatchFailure::Side::Source, readError); // `kept` is discarded unwritten
    if (!written || !kept.commit())
        return failure(BatchFailure::Side::Result, kept.errorString());
    unsynced.add(name, result.Name, result.Path);
    if (kept.isEmpty())
        emptyResults.insert(result.Path);
    return std::nullopt;
}

// As extractFile(); memory that runs out fails the file alone, its
// temporary file removed on the way out.
std::optional<BatchFailure> processFile(ExtractMode mode, const LineRanges &ranges, const QString &name,
                                        const QString &sourcePath, const ResultPlace &result,
                                        UnsyncedResults &unsynced, QSet<QString> &emptyResults)
{
    try {
        return extractFile(mode, ranges, name, sourcePath, result, unsynced, emptyResults);
    } catch (const std::bad_alloc &) {
        return BatchFailure{name, BatchFailure::Side::Source, sourcePath,
                            QString::fromStdString(std::generic_category().message(ENOMEM))};
    }
}

// A result that could not be put on disk at the end of the run counts as
// failed, though it has its name.
void syncResults(UnsyncedResults &unsynced, const ResultFolder &folder, QSet<QString> &emptyResults,
                 BatchReport &report)
{
    for (const UnsyncedResults::Failure &failed : unsynced.syncAll(folder)) {
        report.Failures.append({failed.FileName, BatchFailure::Side::Result, failed.Path, failed.Reason});
        --report.Done;
        emptyResults.remove(failed.Path);
    }
    report.Empty = emptyResults.size();
}

// The absolute folder without "." and ".." steps. QDir::cleanPath keeps
// ".." steps above the root, which the system takes for the root itself.
QString cleanFolderPath(const QString &absolute)
{
    QString path = QDir::cleanPath(absolute);
    const qsizetype root = path.indexOf(u'/') + 1;
    while (QStringView(path).sliced(root) == u".." || QStringView(path).sliced(root).startsWith(u"../"))
        path.remove(root, std::min<qsizetype>(3, path.size() - root));
    return path;
}

} // namespace

QString SourcePathOf(const QString &FolderPath, const QString &FileName)
{
    return FolderPath + QLatin1Char('/') + FileName;
}

QString ResultFolderOf(const QString &SavePrefix)
{
    // Every result is the prefix followed by a plain name.
    return cleanFolderPath(QFileInfo(SavePrefix + u'x').absolutePath());
}

BatchReport RunBatch(const BatchSettings &settings, const QString &FolderPath,
                     const QStringList &FileNames, const BatchObserver &observer)
{
    const LineRanges ranges = RangesOf(settings);
    const QList<ExtractMode> passes = PassesOf(settings);

    BatchReport report;
    report.Total = passes.size() * FileNames.size();
    report.ResultFolder = ResultFolderOf(settings.SavePrefix);
    // Opened as the prefix names it, relative to the working directory.
    const ResultFolder folder(QFileInfo(settings.SavePrefix + u'x').path());
    UnsyncedResults unsynced;
    QSet<QString> emptyResults;
    qsizetype index = 0;
    for (const ExtractMode mode : passes) {
        for (const QString &name : FileNames) {
            if (observer && !observer(index, report.Total, name)) {
                report.Stopped = true;
                syncResults(unsynced, folder, emptyResults, report);
                return report;
            }
            ++index;
            const QString resultPath = settings.SavePrefix + name;
            const std::optional<BatchFailure> failure =
                processFile(mode, ranges, name, SourcePathOf(FolderPath, name),
                            {folder, QFileInfo(resultPath).fileName(), resultPath}, unsynced, emptyResults);
            if (failure)
                report.Failures.append(*failure);
            else
                ++report.Done;
        }
    }
    syncResults(unsynced, folder, emptyResults, report);
    return report;
}
