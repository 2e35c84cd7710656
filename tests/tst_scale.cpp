// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of 100,000 data files, listed and run from the window in seconds.

#include "fixture.h"
#include "form1.h"
#include "runmessage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <limits>

class TestScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // File i has an extension going round .txt, .asc, .dat; every 10,000th
    // holds a line that the run by value keeps.
    void hundredThousandFiles()
    {
        const int count = 100000;
        const QStringList extensions{u".txt"_s, u".asc"_s, u".dat"_s};
        const auto name = [&](int i) { return u"f%1"_s.arg(i, 6, 10, QLatin1Char('0')) + extensions[i % 3]; };
        const auto kept = [](int i) { return i % 10000 == 7 ? QByteArray("5 kept\r\n") : QByteArray(""); };
        QTemporaryDir sources, results;
        for (int i = 0; i < count; ++i)
            QVERIFY(writeFile(sources.filePath(name(i)), kept(i) + "1 x\r\n"));
        QVERIFY(writeFile(sources.filePath(u"notes.txt.bak"_s), "1 x\r\n"));
        // Each result is synced to disk as it is committed: milliseconds on
        // a real disk, nothing on a tmpfs.
        const TmpfsMount memory(results.path(), "size=64m");
        if (!memory.whyNot.isEmpty())
            qInfo("results go to a real disk (%s) and may take minutes", qPrintable(memory.whyNot));

        Form1 form;
        form.ProgressDelayMs = std::numeric_limits<int>::max(); // a dialog would repaint for every file
        form.ChooseFolder = [&](QWidget *, const QString &) { return sources.path(); };
        QList<RunMessage> shown;
        form.ShowMessage = [&](QWidget *, const RunMessage &message) { shown.append(message); };
        form.Command1->click();
        QCOMPARE(form.Label8->text(), u"100000"_s);
        QStringList expected; // grouped by extension, each group in name order
        for (int group = 0; group < 3; ++group) {
            for (int i = group; i < count; i += 3)
                expected.append(name(i));
        }
        QCOMPARE(form.Folder.FileNames, expected);

        const QString prefix = results.path() + u"/r_"_s;
        form.Option2->setChecked(true);
        form.Text5->setText(u"5"_s);
        form.Text6->setText(u"5"_s);
        form.Text4->setText(prefix);
        form.Command2->click();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().Text, u"处理完成\n\n已写入 100000 个结果文件，保存在：\n%1\n其中 99990 个为空（没有符合条件的行）。"_s
                                         .arg(QDir::toNativeSeparators(results.path())));
        QCOMPARE(folderContents(results.path()).size(), count);
        for (int i = 7; i < count; i += 1000)
            QCOMPARE(readFile(prefix + name(i)), kept(i));
    }
};

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
