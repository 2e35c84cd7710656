// SPDX-License-Identifier: GPL-3.0-or-later
#include "dryrun.h"

#include "console.h"
#include "folderstate.h"
#include "preview.h"
#include "shownname.h"

#include <functional>

namespace {

QString countOf(std::int64_t count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1StringView(count == 1 ? one : many));
}

QString describe(const FilePreview &file)
{
    const QString kept = file.KeptLines == 0
        ? QStringLiteral("no line")
        : QStringLiteral("%1, %2 to %3").arg(countOf(file.KeptLines, "line", "lines")).arg(file.FirstLine).arg(file.LastLine);
    return QStringLiteral("%1: %2\n").arg(ShownName(file.FileName), kept);
}

} // namespace

QList<BatchFailure> PrintDryRun(const BatchSettings &settings, const FolderState &folder, bool verbose)
{
    BatchPreview preview;
    {
        Progress progress;
        preview = PreviewBatch(settings, folder.FolderPath, folder.FileNames, std::ref(progress));
    }
    QList<BatchFailure> failures;
    qsizetype read = 0, empty = 0;
    std::int64_t lines = 0;
    for (const FilePreview &file : preview.Files) {
        if (file.Failure) {
            failures.append(*file.Failure);
            continue;
        }
        WriteText(stdout, describe(file));
        ++read;
        empty += file.KeptLines == 0;
        lines += file.KeptLines;
    }
    if (verbose)
        WriteText(stdout, QStringLiteral("tarvel-batch: %1 would give %2 in all, %3 of them none\n")
                              .arg(countOf(read, "file", "files"), countOf(lines, "line", "lines"))
                              .arg(empty));
    std::fflush(stdout); // before any failure on standard error
    return failures;
}
