// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batchrun.h"
#include "browseforfolder.h"
#include "folderstate.h"
#include "replacingsources.h"
#include "runmessage.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The main window: the folder, the extraction mode and its range, the save
// prefix and the run, as four numbered steps.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // Makes `path` the current folder, as a choice through "定位文件夹..."
    // does: the path box, the scan and the count. What is no folder is
    // refused with a message, and the current folder stays.
    void OpenFolder(const QString &path);

    // The window's dialogs, replaceable so that tests need not answer them.
    std::function<QString(QWidget *owner, const QString &title)> ChooseFolder = BrowseForFolder;
    std::function<void(QWidget *owner, const RunMessage &message)> ShowMessage = ShowRunMessage;
    std::function<bool(QWidget *owner, const QString &question)> Confirm = ConfirmReplacing;
    // How long a run goes on before its progress dialog appears.
    int ProgressDelayMs = 500;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void setFonts();
    void setFocusOrder();
    void connectHandlers();
    void showFolder();
    void showResultFolder();
    bool mayReplaceSources(const QString &SavePrefix);
    BatchSettings settingsFromFields() const;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Text2_KeyPress(std::int16_t &KeyAscii);
    void Text3_KeyPress(std::int16_t &KeyAscii);
    void Text5_KeyPress(std::int16_t &KeyAscii);
    void Text6_KeyPress(std::int16_t &KeyAscii);

    FolderState Folder; // as Text1 and Label8 show it

    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QLabel *Label7;
    QLabel *Label8;
    QGroupBox *Frame2;
    QRadioButton *Option1;
    QLabel *Label2;
    QLineEdit *Text2;
    QLabel *Label3;
    QLineEdit *Text3;
    QLabel *Label9;
    QFrame *Line1;
    QRadioButton *Option2;
    QLabel *Label11;
    QLineEdit *Text5;
    QLabel *Label12;
    QLineEdit *Text6;
    QGroupBox *Frame4;
    QLabel *Label4;
    QLineEdit *Text4;
    QLabel *Label5;
    QGroupBox *Frame5;
    QPushButton *Command2;
    QLabel *Label6;
};
