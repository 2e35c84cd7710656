// SPDX-License-Identifier: GPL-3.0-or-later
#include "runmessage.h"

#include "batchrun.h"
#include "shownname.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace {

constexpr qsizetype MaxListedNames = 10;

// How the run ended, and how many files failed.
QString Heading(const BatchReport &report)
{
    const QString failed = QStringLiteral("%1 个文件未能处理").arg(report.Failures.size());
    if (report.Stopped)
        return report.Failures.isEmpty() ? QStringLiteral("已取消") : QStringLiteral("已取消，") + failed;
    return report.Failures.isEmpty() ? QStringLiteral("处理完成") : failed;
}

// What was written: how far a stopped run got; otherwise the number of
// results, their folder and how many hold no line, which is the first sign
// of a range that misses the data.
QString WrittenLines(const BatchReport &report)
{
    if (report.Stopped)
        return QStringLiteral("已处理 %1 个文件，共 %2 个。").arg(report.Done).arg(report.Total);
    if (report.Done == 0)
        return QStringLiteral("没有写入任何结果文件。");
    return QStringLiteral("已写入 %1 个结果文件，保存在：\n%2\n其中 %3 个为空（没有符合条件的行）。")
        .arg(QString::number(report.Done), ShownName(QDir::toNativeSeparators(report.ResultFolder)),
             QString::number(report.Empty));
}

// What failed, where, and the system's reason: the same for every file that
// failed alike.
QString FailureHeading(const BatchFailure &failure)
{
    if (failure.FailedSide == BatchFailure::Side::Source)
        return QStringLiteral("无法读取（%1）：").arg(failure.Reason);
    const QString folder = QDir::toNativeSeparators(QFileInfo(failure.Path).absolutePath());
    return QStringLiteral("无法在 %1 中写入结果文件（%2）：").arg(ShownName(folder), failure.Reason);
}

// Each kind of failure once, in the order first met, with the names of its
// files under it: at most ten, then "…" and how many there are.
QStringList FailureLines(const QList<BatchFailure> &failures)
{
    QStringList headings;
    QList<QStringList> names; // of the files under each heading
    for (const BatchFailure &failure : failures) {
        const QString heading = FailureHeading(failure);
        if (!headings.contains(heading)) {
            headings.append(heading);
            names.append(QStringList());
        }
        names[headings.indexOf(heading)].append(ShownName(failure.FileName));
    }
    QStringList lines;
    for (qsizetype i = 0; i < headings.size(); ++i) {
        lines.append(headings[i]);
        for (const QString &name : names[i].first(qMin(names[i].size(), MaxListedNames)))
            lines.append(QStringLiteral("    ") + name);
        if (names[i].size() > MaxListedNames)
            lines.append(QStringLiteral("    …（共 %1 个）").arg(names[i].size()));
    }
    return lines;
}

} // namespace

RunMessage RunMessageFor(const BatchReport &report)
{
    QStringList parts{Heading(report), WrittenLines(report)};
    if (!report.Failures.isEmpty())
        parts.append(FailureLines(report.Failures).join(QLatin1Char('\n')));
    return {parts.join(QStringLiteral("\n\n")), !report.Failures.isEmpty()};
}

void ShowRunMessage(QWidget *owner, const RunMessage &message)
{
    QMessageBox box(message.Warning ? QMessageBox::Warning : QMessageBox::NoIcon, QStringLiteral("提示"),
                    message.Text, QMessageBox::Ok, owner);
    box.exec();
}
