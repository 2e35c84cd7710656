// SPDX-License-Identifier: GPL-3.0-or-later
#include "replacingsources.h"

#include "shownname.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

QString RefusalText(const QList<ReplacedSource> &replaced)
{
    const auto another = [](const ReplacedSource &source) { return !source.OwnSource; };
    const auto first = std::find_if(replaced.cbegin(), replaced.cend(), another);
    if (first == replaced.cend())
        return {};
    return QStringLiteral("未执行，没有写入任何文件。\n\n“%1”的结果文件“%2”会覆盖另一个源文件“%3”"
                          "（这样的结果文件共 %4 个）。\n请换一个保存前缀。")
        .arg(ShownName(first->Name), ShownName(QDir::toNativeSeparators(first->ResultPath)),
             ShownName(first->SourceName), QString::number(std::count_if(first, replaced.cend(), another)));
}

QString ReplaceOwnSourcesQuestion(qsizetype count)
{
    return QStringLiteral("%1 个源文件将被各自的提取结果覆盖，原来的内容会丢失，此操作无法撤销。\n\n要覆盖吗？")
        .arg(count);
}

bool ConfirmReplacing(QWidget *owner, const QString &question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), question, QMessageBox::Yes | QMessageBox::Cancel,
                    owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("覆盖"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}
