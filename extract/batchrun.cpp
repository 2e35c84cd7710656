// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchrun.h"

#include "extraction.h"
#include "linereader.h"
#include "resultwriter.h"
#include "sourcefile.h"
#include "systemerror.h"
#include "unsyncedresults.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace {

// Reads one source and writes its result; a result that holds no line joins
// `emptyResults`. Returns the failure, if any.
std::optional<BatchFailure> processFile(ExtractMode mode, const LineRanges &ranges, const QString &name,
                                        const QString &sourcePath, const QString &resultPath,
                                        UnsyncedResults &unsynced, QSet<QString> &emptyResults)
{
    const auto failure = [&](BatchFailure::Side side, const QString &reason) {
        const QString &path = side == BatchFailure::Side::Source ? sourcePath : resultPath;
        return BatchFailure{name, side, path, reason};
    };

    QFile source;
    TextEncoding encoding;
    if (const QString why = OpenSource(sourcePath, source, encoding); !why.isEmpty())
        return failure(BatchFailure::Side::Source, why);
    const qsizetype bufferSize = BufferSizeFor(source);
    // Owner-writable, so that the next run may replace it even where the
    // sources are kept read-only.
    ResultWriter kept(resultPath, bufferSize);
    if (!kept.open(source.permissions() | QFile::WriteOwner, encoding))
        return failure(BatchFailure::Side::Result, kept.errorString());

    LineReader lines(source, bufferSize, encoding);
    const bool written = ExtractLines(mode, ranges, lines, kept);
    const bool readFailed = lines.failed();
    const QString readError = lines.errorString();
    source.close();

    if (readFailed)
        return failure(BatchFailure::Side::Source, readError); // `kept` is discarded unwritten
    if (!written || !kept.commit())
        return failure(BatchFailure::Side::Result, kept.errorString());
    if (!kept.replacesEarlierFile())
        unsynced.add(name, resultPath);
    if (kept.isEmpty())
        emptyResults.insert(resultPath);
    return std::nullopt;
}

// A result that could not be put on disk at the end of the run counts as
// failed, though it has its name.
void syncResults(UnsyncedResults &unsynced, QSet<QString> &emptyResults, BatchReport &report)
{
    for (const UnsyncedResults::Failure &failed : unsynced.syncAll()) {
        report.Failures.append({failed.FileName, BatchFailure::Side::Result, failed.Path, failed.Reason});
        --report.Done;
        emptyResults.remove(failed.Path);
    }
    report.Empty = emptyResults.size();
}

} // namespace

QString SourcePathOf(const QString &FolderPath, const QString &FileName)
{
    return FolderPath + QLatin1Char('/') + FileName;
}

QString ResultFolderOf(const QString &SavePrefix)
{
    // Every result is the prefix followed by a plain name.
    return QFileInfo(SavePrefix + u'x').absolutePath();
}

BatchReport RunBatch(const BatchSettings &settings, const QString &FolderPath,
                     const QStringList &FileNames, const BatchObserver &observer)
{
    const LineRanges ranges = RangesOf(settings);
    const QList<ExtractMode> passes = PassesOf(settings);

    BatchReport report;
    report.Total = passes.size() * FileNames.size();
    report.ResultFolder = ResultFolderOf(settings.SavePrefix);
    UnsyncedResults unsynced;
    QSet<QString> emptyResults;
    qsizetype index = 0;
    for (const ExtractMode mode : passes) {
        for (const QString &name : FileNames) {
            if (observer && !observer(index, report.Total, name)) {
                report.Stopped = true;
                syncResults(unsynced, emptyResults, report);
                return report;
            }
            ++index;
            const std::optional<BatchFailure> failure =
                processFile(mode, ranges, name, SourcePathOf(FolderPath, name), settings.SavePrefix + name,
                            unsynced, emptyResults);
            if (failure)
                report.Failures.append(*failure);
            else
                ++report.Done;
        }
    }
    syncResults(unsynced, emptyResults, report);
    return report;
}
