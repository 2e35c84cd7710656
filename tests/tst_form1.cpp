// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a user drives it, with its folder dialog and its run
// messages answered by the test.

#include "fixture.h"
#include "form1.h"
#include "previewdialog.h"
#include "qttranslation.h"
#include "startfolder.h"

#include <QtWidgets>

#include <memory>

namespace {

const QByteArray FileA = "10 x\r\n20 y\r\n30 z\r\n40 w\r\n";

// A folder holding a.txt and b.dat.
void makeFolder(const QString &folder)
{
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeFile(folder + u"/a.txt"_s, FileA) && writeFile(folder + u"/b.dat"_s, "1\r\n2\n\r3\r4"));
}

// Runs with the folder a.txt and b.dat are in as working directory, where
// an empty prefix writes over them, and `extra` beside them.
struct Replacing
{
    const char *name, *extra, *prefix;
    bool yes;    // the answer to the question, which a refused run never asks
    int refused; // how many results the refusal counts; 0: the run is not refused
};
const Replacing Replacings[] = {
    {"empty prefix in the data folder, No", "", "", false, 0},
    {"empty prefix in the data folder, Yes", "", "", true, 0},
    {"chain a.txt to xa.txt", "xa.txt", "x", true, 1},
    {"chain, two of them", "xa.txt xb.dat", "x", true, 2},
};

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

    const QString startedIn = QDir::currentPath();
    std::unique_ptr<QTemporaryDir> work; // the working directory, holding a.txt and b.dat
    std::unique_ptr<Form1> form;
    QString folderAnswer; // an empty answer is a cancelled dialog
    bool yes = false;     // the answer to a question
    QList<RunMessage> messages;
    QStringList questions;
    bool ownedByForm = true; // every dialog had the window as its owner

    template <class Control = QWidget>
    Control *control(const char *name) const { return form->findChild<Control *>(QString::fromLatin1(name)); }
    void click(const char *button) const { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    void type(const char *box, const QString &text) const { control<QLineEdit>(box)->setText(text); }
    // The folder's path and count as the window shows them.
    QString shownFolder() const { return control<QLineEdit>("Text1")->text() + u' ' + control<QLabel>("Label8")->text(); }

private Q_SLOTS:
    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        makeFolder(work->path());
        QVERIFY(QDir::setCurrent(work->path()));
        form = std::make_unique<Form1>();
        form->setObjectName(u"Form1"_s);
        form->ChooseFolder = [this](QWidget *owner, const QString &title) {
            ownedByForm &= owner == form.get() && title == u"请选择一个文件夹："_s;
            return folderAnswer;
        };
        form->ShowMessage = [this](QWidget *owner, const RunMessage &message) {
            ownedByForm &= owner == form.get();
            messages.append(message);
        };
        form->Confirm = [this](QWidget *owner, const QString &question) {
            ownedByForm &= owner == form.get();
            questions.append(question);
            return yes;
        };
        messages.clear();
        questions.clear();
        ownedByForm = true;
    }

    // The working directory cannot be removed on every system.
    void cleanup()
    {
        QDir::setCurrent(startedIn);
        form.reset();
        work.reset();
    }

    // Started with no folder, the window opens on the program's own folder
    // when it holds data files, otherwise on the working directory.
    void startFolder()
    {
        const FolderState started = StartFolder(QCoreApplication::applicationDirPath(), work->path());
        QCOMPARE(shownFolder(), QDir::toNativeSeparators(started.FolderPath) + u' ' + QString::number(started.FileCount()));
        const QString program = work->filePath(u"程序"_s);
        QVERIFY(QDir().mkpath(program + u"/old.txt"_s) && writeFile(program + u"/tarvel.exe"_s, FileA));
        QCOMPARE(StartFolder(program, work->path()).FolderPath, work->path());
        QVERIFY(writeFile(program + u"/a.txt"_s, FileA));
        QCOMPARE(StartFolder(program, work->path()).FolderPath, program);
    }

    // Every control is shown, usable (预览 once the folder lists files) and
    // wholly inside the window or its frame, with room for its caption; the
    // window has its icon in every size.
    void controlsFit()
    {
        for (const QWidget *control : form->findChildren<QWidget *>()) {
            const QWidget *parent = control->parentWidget();
            const auto *frame = qobject_cast<const QGroupBox *>(control);
            if (parent != form.get() && !qobject_cast<const QGroupBox *>(parent))
                continue; // a part of a control
            const bool usable = control != this->control("Command3") || this->control<QLabel>("Label8")->text() != u"0"_s;
            const bool placed = control->isVisibleTo(form.get()) && parent->rect().contains(control->geometry());
            QVERIFY2(placed && control->isEnabled() == usable, qPrintable(control->objectName()));
            const QString caption = frame ? frame->title() : control->property("text").toString();
            if (caption.isEmpty() || qobject_cast<const QLineEdit *>(control))
                continue;
            const QFontMetrics metrics(control->font());
            // Every caption but the digits of Label8 and the "~" starts with a Chinese character.
            QVERIFY2(metrics.inFont(caption.front()), "no font with Chinese characters: install one (scripts/install-deps does)");
            const auto metric = [&](QStyle::PixelMetric which) { return control->style()->pixelMetric(which); };
            const int indicator = qobject_cast<const QRadioButton *>(control)
                ? metric(QStyle::PM_ExclusiveIndicatorWidth) + metric(QStyle::PM_RadioButtonLabelSpacing)
                : qobject_cast<const QPushButton *>(control) ? 2 * metric(QStyle::PM_ButtonMargin) : 0;
            for (const QString &line : caption.split(u'\n'))
                QVERIFY2(metrics.horizontalAdvance(line) + indicator <= control->width()
                             && metrics.tightBoundingRect(line).height() <= control->height(),
                         qPrintable(control->objectName() + u": "_s + line));
        }
        QCOMPARE(form->windowIcon().availableSizes().size(), 5);
    }

    // Each box after "1*.-a", Enter, Escape, 4, backspace, then 温: line
    // numbers take digits, the last one also "*", values also a point; the
    // prefix takes anything, input methods too.
    void keyRules()
    {
        QStringList texts;
        for (const char *name : {"Text2", "Text3", "Text5", "Text6", "Text4"}) {
            auto *box = control<QLineEdit>(name);
            box->home(false); // Delete, with the DEL that X11 gives it, takes Text3's "*" and is no typed character
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Delete, u"\x7f"_s, Qt::NoModifier);
            QTest::keyClicks(box, u"1*.-a\r\x1b" "4\b"_s);
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(0), u"温"_s, Qt::NoModifier);
            texts.append(box->text() + (box->testAttribute(Qt::WA_InputMethodEnabled) ? u" with input methods"_s : u""_s));
        }
        QCOMPARE(texts, QStringList({u"1"_s, u"1*"_s, u"1."_s, u"1."_s, u"1*.-a温 with input methods"_s}));
        QVERIFY(messages.isEmpty()); // Enter pressed no button
    }

    void folderChoiceAndRuns()
    {
        QTemporaryDir temp, out;
        const QString folder = temp.filePath(u"数据 2024"_s);
        makeFolder(folder);
        for (const QString &answer : {folder, QString()}) { // chosen, then kept by a cancelled choice
            folderAnswer = answer;
            click("Command1");
            QCOMPARE(shownFolder(), QDir::toNativeSeparators(folder) + u" 2"_s);
        }
        // Runs with results in `out`, and gives them as "a.txt's bytes|b.dat's bytes".
        const auto runInto = [&](const QString &prefix) {
            type("Text4", out.filePath(prefix));
            click("Command2");
            return readFile(out.filePath(prefix + u"a.txt"_s)) + '|' + readFile(out.filePath(prefix + u"b.dat"_s));
        };
        type("Text2", u"2"_s);
        QCOMPARE(runInto(u"行_"_s), "20 y\r\n30 z\r\n40 w\r\n|2\r\n\r\n3\r\n4\r\n"_ba);
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        QVERIFY(!control<QRadioButton>("Option1")->isChecked());
        type("Text5", u".5"_s);
        type("Text6", u"3.5"_s);
        QCOMPARE(runInto(u"值_"_s), "|1\r\n2\r\n3\r\n"_ba);
        runInto(u"无此文件夹/"_s);

        const QString written = u"处理完成\n\n已写入 %1 个结果文件，保存在：\n%2\n其中 %3 个为空（没有符合条件的行）。"_s;
        const QString shownOut = QDir::toNativeSeparators(out.path()), missing = shownOut + QDir::separator() + u"无此文件夹"_s;
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[0].Text, written.arg(u"2"_s, shownOut, u"0"_s));
        QCOMPARE(messages[1].Text, written.arg(u"2"_s, shownOut, u"1"_s));
        // Every file failed: no folder the results were saved in, and the reason once.
        QVERIFY(messages[2].Text.startsWith(u"2 个文件未能处理\n\n没有写入任何结果文件。\n\n无法在 %1 中写入结果文件（"_s.arg(missing)));
        QVERIFY(messages[2].Text.endsWith(u"）：\n    a.txt\n    b.dat"_s));
        QVERIFY(!messages[0].Warning && !messages[1].Warning && messages[2].Warning && ownedByForm);

        // Files that failed alike are told once, with at most ten names.
        BatchReport report;
        QString names;
        for (int i = 0; i < 12; ++i) {
            report.Failures.append({u"f%1.txt"_s.arg(i), BatchFailure::Side::Source, QString(), u"Permission denied"_s});
            names += i < 10 ? u"    f%1.txt\n"_s.arg(i) : QString();
        }
        report.Failures.insert(1, {u"g.txt"_s, BatchFailure::Side::Result, out.filePath(u"r_g.txt"_s), u"Disk full"_s});
        QCOMPARE(RunMessageFor(report).Text, u"13 个文件未能处理\n\n没有写入任何结果文件。\n\n无法读取（Permission denied）：\n"_s + names
                                                 + u"    …（共 12 个）\n无法在 %1 中写入结果文件（Disk full）：\n    g.txt"_s.arg(shownOut));
    }

    // Nothing is written before the user agrees to sources being replaced by
    // their extracts, nor ever when a result would replace another source.
    void replacingSources_data() { addTableRows(Replacings); }

    void replacingSources()
    {
        QFETCH(const Replacing *, row);
        for (const QString &name : QString::fromLatin1(row->extra).split(u' ', Qt::SkipEmptyParts))
            QVERIFY(writeFile(name, FileA));
        form->OpenFolder(work->path()); // with the files added
        const Contents before = folderContents(work->path());
        yes = row->yes;
        type("Text2", u"2"_s);
        type("Text4", QString::fromLatin1(row->prefix));
        click("Command2");

        const bool written = row->yes && !row->refused;
        QCOMPARE(questions.size(), int(!row->refused));
        QVERIFY(questions.isEmpty() || questions[0].startsWith(u"2 个源文件将被各自的提取结果覆盖"_s));
        QCOMPARE(messages.size(), int(written || row->refused)); // how the run went, or the refusal
        const QString refusal = u"未执行，没有写入任何文件。\n\n“a.txt”的结果文件“xa.txt”会覆盖另一个源文件“xa.txt”"
                                "（这样的结果文件共 %1 个）"_s.arg(row->refused);
        QVERIFY(!row->refused || (messages[0].Warning && messages[0].Text.startsWith(refusal)));
        QCOMPARE(readFile(u"a.txt"_s) == FileA, !written);
        QVERIFY(written || folderContents(work->path()) == before);
        QVERIFY(ownedByForm);
    }

    // The note beside "执行" names the folder results go into as the prefix
    // is typed, shortened in the middle, never clipped; in the program's own
    // folder it keeps its words.
    void note()
    {
        // The folder in full, as the note's tip gives it; its text may be shortened.
        const auto *note = control<QLabel>("Label6");
        const auto names = [&](const QString &prefix) {
            type("Text4", prefix);
            return note->toolTip();
        };
        QCOMPARE(names(u"结果/r_"_s), QDir::toNativeSeparators(work->filePath(u"结果"_s)));
        QCOMPARE(names(QString()), QDir::toNativeSeparators(work->path()));
        const QString deep = work->filePath(u"很长的文件夹名字/"_s.repeated(6));
        names(deep + u"v_"_s);
        const QString shown = note->text().section(u'\n', 1);
        const QStringList ends = QDir::fromNativeSeparators(shown).split(u'…');
        QVERIFY2(ends.size() == 2 && !ends.contains(QString()) && deep.startsWith(ends[0]) && deep.endsWith(ends[1] + u'/'),
                 qPrintable(shown));
        QVERIFY(note->fontMetrics().horizontalAdvance(shown) <= note->width());
        names(QCoreApplication::applicationDirPath() + u"/r_"_s);
        QCOMPARE(note->text(), u"（执行后会在程序所在目录内创建文件）"_s);
    }

    // `tarvel DIR`, and what a file manager drops on the window or on a text
    // box; what is no folder leaves the current one.
    void folderFromOutside_data()
    {
        QTest::addColumn<QString>("target"); // "open" for OpenFolder, else the control dropped on
        QTest::addColumn<QString>("path");   // in the test's folder
        QTest::addColumn<QString>("message"); // the warning shown, %1 the path
        QTest::newRow("tarvel DIR") << u"open"_s << u"数据"_s << QString();
        QTest::newRow("tarvel FILE") << u"open"_s << u"数据/a.txt"_s << u"“%1”不是文件夹。"_s;
        QTest::newRow("tarvel MISSING") << u"open"_s << u"无此文件夹"_s << u"找不到文件夹“%1”。"_s;
        QTest::newRow("folder dropped on the window") << u"Form1"_s << u"数据"_s << QString();
        QTest::newRow("folder dropped on a text box") << u"Text4"_s << u"数据"_s << QString();
        QTest::newRow("file dropped") << u"Form1"_s << u"数据/a.txt"_s << QString();
    }

    void folderFromOutside()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFETCH(QString, message);
        QTemporaryDir temp;
        const QString folder = temp.filePath(u"数据"_s), dropped = temp.filePath(path), own = shownFolder();
        makeFolder(folder);
        if (target == u"open"_s) {
            form->OpenFolder(dropped);
        } else {
            QMimeData data; // as file managers give it: the URL, and the path as text
            data.setUrls({QUrl::fromLocalFile(dropped)});
            data.setText(dropped);
            auto *control = target == form->objectName() ? form.get() : form->findChild<QWidget *>(target);
            const QPoint at = control->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(control, &enter);
            QApplication::sendEvent(control, &drop);
            QCOMPARE(enter.isAccepted() && drop.isAccepted(), dropped == folder);
        }
        QCOMPARE(shownFolder(), dropped == folder ? QDir::toNativeSeparators(folder) + u" 2"_s : own);
        QCOMPARE(control<QLineEdit>("Text4")->text(), QString());
        QCOMPARE(messages.value(0).Text, message.isEmpty() ? QString() : message.arg(QDir::toNativeSeparators(dropped)));
        QVERIFY(messages.isEmpty() || messages.value(0).Warning);
    }

    // 预览 by value from 15 to 25, on a folder where e.txt gives nothing: a
    // row per file, e.txt's bold and counted above; a selected file shows
    // its first kept line, as text whatever its encoding. Nothing is written.
    void preview()
    {
        QTemporaryDir temp, out;
        const QString folder = temp.filePath(u"数据"_s);
        makeFolder(folder);
        QVERIFY(writeFile(folder + u"/e.txt"_s, "x\r\n"));
        QVERIFY(writeFile(folder + u"/b.dat"_s, "\xce\xc2\xb6\xc8\r\n 25 \xc3\xd7\r\n")); // 温度 / 25 米 in GBK
        QVERIFY(writeFile(folder + u"/c.txt"_s, QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)
                                                     .encode(u"时间\r\n15 秒"_s)));
        form->OpenFolder(folder);
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        type("Text5", u"15"_s);
        type("Text6", u"25"_s);
        type("Text4", out.filePath(u"r_"_s));
        const Contents before = folderContents(temp.path());
        click("Command3");

        auto *dialog = form->findChild<PreviewDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QLabel *>(u"Summary"_s)->text(), u"共 4 个文件，其中 1 个没有符合条件的行（粗体）。"_s);
        auto *table = dialog->findChild<QTableWidget *>(u"Files"_s);
        QStringList rows, firstLines;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells.append(table->item(row, column)->text());
            rows.append(cells.join(u' ') + (table->item(row, 0)->font().bold() ? u" bold"_s : u""_s));
            table->selectRow(row);
            firstLines.append(dialog->findChild<QPlainTextEdit *>(u"FirstLines"_s)->toPlainText());
        }
        QCOMPARE(rows, QStringList({u"a.txt 1 2 2"_s, u"c.txt 1 2 2"_s, u"e.txt 0 — — bold"_s, u"b.dat 1 2 2"_s}));
        QCOMPARE(firstLines, QStringList({u"20 y"_s, u"15 秒"_s, u"没有符合条件的行。"_s, u" 25 米"_s}));
        QCOMPARE(folderContents(temp.path()), before);
        QVERIFY(QDir(out.path()).isEmpty());
    }

    void cancelThroughProgressDialog()
    {
        QTemporaryDir source, out;
        for (int i = 0; i < 6; ++i)
            QVERIFY(writeFile(source.filePath(u"f%1.txt"_s.arg(i)), FileA));
        form->OpenFolder(source.path());
        type("Text4", out.filePath(u"r_"_s));
        form->ProgressDelayMs = 0;
        QTimer poll; // fires in the events that the progress dialog, modal to the window, lets through
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            auto *cancel = dialog && dialog->parentWidget() == form.get() ? dialog->findChild<QPushButton *>() : nullptr;
            if (cancel && cancel->isVisible() && cancel->text() == u"取消"_s) {
                poll.stop();
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        poll.start(0);
        click("Command2");
        const qsizetype written = QDir(out.path()).entryList(QDir::Files).size();
        QVERIFY2(!poll.isActive() && written < 6, "no 取消 was clicked, or the run went on after it");
        QCOMPARE(messages.value(0).Text, u"已取消\n\n已处理 %1 个文件，共 6 个。"_s.arg(written));
    }

#ifdef Q_OS_WIN
    // Qt's own texts on a Chinese system, as scripts/wine runs the tests: a
    // question's buttons and a text box's menu, whose shortcuts follow a tab.
    // Last, as the translation stays.
    void qtTranslation()
    {
        InstallQtTranslation(*qApp);
        QMessageBox box(QMessageBox::Question, u"Tarvel"_s, u"?"_s, QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), u"是(&Y)"_s);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"取消"_s);
        QLineEdit edit(u"text"_s);
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                texts.append(action->text().section(u'\t', 0, 0));
        }
        QCOMPARE(texts.join(u' '), u"撤消(&U) 重做(&R) 剪切(&T) 复制(&C) 粘贴(&P) 删除 全选"_s);
    }
#endif
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
