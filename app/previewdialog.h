// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview.h"

#include <QDialog>

class QPlainTextEdit;
class QTableWidget;

// What a run would give, file by file: one row per listed file with how
// many lines it would keep and the numbers of the first and the last.
// Files that would give nothing are bold and counted above the table; the
// selected file's first kept lines are shown below it.
class PreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PreviewDialog(const BatchPreview &preview, QWidget *parent);

private:
    void addRow(int row, const FilePreview &file);
    void showFirstLines();

    QList<FilePreview> m_files; // row by row
    QTableWidget *m_table;
    QPlainTextEdit *m_firstLines;
};
