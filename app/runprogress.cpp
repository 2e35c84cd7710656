#include "runprogress.h"

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
    m_dialog.setMaximum(static_cast<int>(count));
    m_dialog.setLabelText(QStringLiteral("正在处理第 %1 个文件，共 %2 个：\n%3").arg(index + 1).arg(count).arg(name));
    // Once the dialog is up, this also lets it take the click on "取消".
    m_dialog.setValue(static_cast<int>(index));
    return !m_dialog.wasCanceled();
}
