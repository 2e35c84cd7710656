// SPDX-License-Identifier: GPL-3.0-or-later
#include "runmessage.h"

#include "batchrun.h"
#include "shownname.h"

#include <QDir>
#include <QMessageBox>
#include <QStringList>

namespace {

constexpr qsizetype MaxListedFailures = 10;

QStringList FailureLines(const QList<BatchFailure> &failures)
{
    const FailureWords words{QStringLiteral("无法读取"), QStringLiteral("无法写入结果文件 %1"),
                             QStringLiteral("%1：%2（%3）")};
    QStringList lines{QStringLiteral("%1 个文件未能处理：").arg(failures.size())};
    for (const BatchFailure &failure : failures.first(qMin(failures.size(), MaxListedFailures)))
        lines.append(DescribeFailure(failure, words));
    if (failures.size() > MaxListedFailures)
        lines.append(QStringLiteral("……"));
    return lines;
}

// Where the results went: their number, their folder and how many hold no
// line, which is the first sign of a range that misses the data.
QString WrittenLine(const BatchReport &report)
{
    return QStringLiteral("已写入 %1 个结果文件，保存在：\n%2\n其中 %3 个为空（没有符合条件的行）。")
        .arg(QString::number(report.Done), ShownName(QDir::toNativeSeparators(report.ResultFolder)),
             QString::number(report.Empty));
}

} // namespace

RunMessage RunMessageFor(const BatchReport &report)
{
    QString text = report.Stopped
        ? QStringLiteral("已取消\n\n已处理 %1 个文件，共 %2 个。").arg(report.Done).arg(report.Total)
        : QStringLiteral("处理完成\n\n") + WrittenLine(report);
    if (!report.Failures.isEmpty())
        text += QStringLiteral("\n\n") + FailureLines(report.Failures).join(QLatin1Char('\n'));
    return {text, !report.Failures.isEmpty()};
}

void ShowRunMessage(QWidget *owner, const RunMessage &message)
{
    QMessageBox box(message.Warning ? QMessageBox::Warning : QMessageBox::NoIcon, QStringLiteral("提示"),
                    message.Text, QMessageBox::Ok, owner);
    box.exec();
}
