// SPDX-License-Identifier: GPL-3.0-or-later
#include "runprogress.h"

#include <QCoreApplication>

namespace {

// Redrawing the dialog for every file costs more than a small file takes; a
// few updates a second are all the eye can follow.
constexpr qint64 UpdateIntervalMs = 50;

} // namespace

RunProgress::RunProgress(QWidget *owner, int delayMs)
    : m_dialog(QString(), QStringLiteral("取消"), 0, 0, owner)
{
    m_dialog.setWindowTitle(QStringLiteral("Tarvel"));
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(delayMs);
}

bool RunProgress::operator()(qsizetype index, qsizetype count, const QString &name)
{
    if (m_dialog.wasCanceled())
        return false;
    if (m_dialog.isVisible() && m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < UpdateIntervalMs) {
        QCoreApplication::processEvents(); // so that "取消" can still be clicked
        return !m_dialog.wasCanceled();
    }
    m_sinceUpdate.start();
    m_dialog.setMaximum(static_cast<int>(count));
    m_dialog.setLabelText(QStringLiteral("正在处理第 %1 个文件，共 %2 个：\n%3").arg(index + 1).arg(count).arg(name));
    // Once the dialog is up, this also lets it take the click on "取消".
    m_dialog.setValue(static_cast<int>(index));
    return !m_dialog.wasCanceled();
}
