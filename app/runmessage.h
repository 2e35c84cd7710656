// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct BatchReport;
class QWidget;

// What the window tells the user when a run has ended.
struct RunMessage
{
    QString Text;
    bool Warning = false; // shown with a warning sign: something failed or was refused
};

// "处理完成" for a run that went through every file, with how many results
// were written, into which folder, and how many of them are empty; "已取消"
// and how far it got for a stopped run. When files failed, the first line
// says how many, and each reason follows once with the files it held for.
RunMessage RunMessageFor(const BatchReport &report);

// Shows the message modally to `owner`, titled "提示", with only an OK button.
void ShowRunMessage(QWidget *owner, const RunMessage &message);
