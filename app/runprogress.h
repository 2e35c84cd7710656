// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

// The progress of a batch run, used as its BatchObserver (through std::ref):
// a progress dialog, modal to `owner`, that appears once the run has taken
// `delayMs` milliseconds and whose "取消" stops the run before the next file.
class RunProgress
{
public:
    RunProgress(QWidget *owner, int delayMs);

    bool operator()(qsizetype index, qsizetype count, const QString &name);

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceUpdate;
};
