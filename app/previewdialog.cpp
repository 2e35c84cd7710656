// SPDX-License-Identifier: GPL-3.0-or-later
#include "previewdialog.h"

#include "displaytext.h"
#include "shownname.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { NameColumn, KeptColumn, FirstColumn, LastColumn, ColumnCount };

QString summaryOf(const QList<FilePreview> &files)
{
    const auto count = [&](auto test) { return std::count_if(files.begin(), files.end(), test); };
    const qsizetype failed = count([](const FilePreview &file) { return file.Failure.has_value(); });
    const qsizetype none = count([](const FilePreview &file) { return !file.Failure && file.KeptLines == 0; });
    QString text = none == 0 ? QStringLiteral("%1 个文件都有符合条件的行。").arg(files.size() - failed)
                             : QStringLiteral("共 %1 个文件，其中 %2 个没有符合条件的行（粗体）。")
                                   .arg(files.size()).arg(none);
    if (failed > 0)
        text += QStringLiteral("%1 个文件无法读取。").arg(failed);
    return text;
}

QTableWidgetItem *cell(const QString &text, bool bold)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QFont font = item->font();
    font.setBold(bold);
    item->setFont(font);
    return item;
}

} // namespace

PreviewDialog::PreviewDialog(const BatchPreview &preview, QWidget *parent)
    : QDialog(parent), m_files(preview.Files), m_table(new QTableWidget(int(m_files.size()), ColumnCount, this)),
      m_firstLines(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(QStringLiteral("预览（不写入任何文件）"));
    resize(640, 520);

    auto *summary = new QLabel(summaryOf(m_files), this);
    summary->setObjectName(QStringLiteral("Summary"));
    summary->setWordWrap(true);

    m_table->setObjectName(QStringLiteral("Files"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("文件"), QStringLiteral("行数"), QStringLiteral("首行"), QStringLiteral("末行")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 8);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int row = 0; row < m_files.size(); ++row)
        addRow(row, m_files[row]);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &PreviewDialog::showFirstLines);

    m_firstLines->setObjectName(QStringLiteral("FirstLines"));
    m_firstLines->setReadOnly(true);
    m_firstLines->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_firstLines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_firstLines->setPlaceholderText(QStringLiteral("选中一个文件，这里显示它将提取的前 %1 行。")
                                         .arg(FilePreview::ShownLines));

    // Named here: a Qt without translations, as on Windows, would say "Close".
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(m_table, 3);
    layout->addWidget(m_firstLines, 2);
    layout->addWidget(buttons);
}

void PreviewDialog::addRow(int row, const FilePreview &file)
{
    const bool none = file.Failure || file.KeptLines == 0;
    const auto number = [&](std::int64_t value) { return none ? QStringLiteral("—") : QString::number(value); };
    m_table->setItem(row, NameColumn, cell(ShownName(file.FileName), none));
    m_table->setItem(row, KeptColumn, cell(file.Failure ? QStringLiteral("无法读取") : QString::number(file.KeptLines), none));
    m_table->setItem(row, FirstColumn, cell(number(file.FirstLine), none));
    m_table->setItem(row, LastColumn, cell(number(file.LastLine), none));
    for (int column = KeptColumn; column < ColumnCount; ++column)
        m_table->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void PreviewDialog::showFirstLines()
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    if (selected.isEmpty()) {
        m_firstLines->clear();
        return;
    }
    const FilePreview &file = m_files[selected.front()->row()];
    if (file.Failure)
        m_firstLines->setPlainText(QStringLiteral("无法读取：%1").arg(file.Failure->Reason));
    else if (file.KeptLines == 0)
        m_firstLines->setPlainText(QStringLiteral("没有符合条件的行。"));
    else
        m_firstLines->setPlainText(DisplayText(file.FirstKeptLines, file.Encoding));
}
