// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts in the window, on a Chinese system: scripts/wine runs the
// tests as on Simplified Chinese Windows.

#include "qttranslation.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestQtTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallQtTranslation(*qApp); }

    void messageBoxButtons()
    {
        QMessageBox box(QMessageBox::Question, u"Tarvel"_s, u"?"_s, QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), u"是(&Y)"_s);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"取消"_s);
    }

    // The menu's shortcuts follow a tab.
    void editMenu()
    {
        QLineEdit edit(u"text"_s);
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                texts.append(action->text().section(u'\t', 0, 0));
        }
        QCOMPARE(texts, (QStringList{u"撤消(&U)"_s, u"重做(&R)"_s, u"剪切(&T)"_s, u"复制(&C)"_s, u"粘贴(&P)"_s,
                                     u"删除"_s, u"全选"_s}));
    }
};

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
