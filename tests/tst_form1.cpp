#include "browseforfolder.h"
#include "form1.h"
#include "runmessage.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string_view>

namespace {

// A window whose folder dialog and run message answer from the test.
struct TestWindow
{
    Form1 form;
    QStringList folderAnswers; // taken in turn; empty text is a cancel
    QStringList folderTitles;
    QList<RunMessage> messages;
    QList<QWidget *> owners;

    TestWindow()
    {
        form.ChooseFolder = [this](QWidget *owner, const QString &title) {
            owners.append(owner);
            folderTitles.append(title);
            return folderAnswers.takeFirst();
        };
        form.ShowMessage = [this](QWidget *owner, const RunMessage &message) {
            owners.append(owner);
            messages.append(message);
        };
    }

    void chooseFolder(const QString &path)
    {
        folderAnswers.append(path);
        QTest::mouseClick(form.Command1, Qt::LeftButton);
    }

    RunMessage run()
    {
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        return messages.isEmpty() ? RunMessage{} : messages.last();
    }

    QLineEdit *box(const QString &name) { return form.findChild<QLineEdit *>(name); }
};

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString CaptionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frame->title();
    return {};
}

// While it lives, calls `act` once with the application's modal dialog of
// type Dialog as soon as one is up: a modal dialog runs its own event loop,
// where the timer fires.
template <typename Dialog>
class WhenDialogOpens
{
public:
    explicit WhenDialogOpens(std::function<void(Dialog *)> act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible()) {
                m_timer.stop();
                act(dialog);
            }
        });
        m_timer.start(0);
    }

private:
    QTimer m_timer;
};

const QByteArray FileA = "10 x\r\n20 y\r\n30 z\r\n40 w\r\n";
const QByteArray FileB = "1\r\n2\n\r3\r4";

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips"); // left, top, width, height

        const auto row = [](const char *name, const char *kind, const char *parent, const QString &text,
                            QRect twips) {
            QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(parent) << text << twips;
        };
        row("Frame1", "QGroupBox", "Form1", QStringLiteral("步骤(1) 定位文件夹"), {240, 120, 6135, 1575});
        row("Label1", "QLabel", "Frame1", QStringLiteral("位置："), {120, 480, 615, 375});
        row("Text1", "QLineEdit", "Frame1", QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
            {720, 360, 5175, 495});
        row("Command1", "QPushButton", "Frame1", QStringLiteral("定位文件夹..."), {720, 960, 1455, 495});
        row("Label7", "QLabel", "Frame1", QStringLiteral("文本文件个数："), {2640, 1080, 1335, 255});
        FolderState own{QCoreApplication::applicationDirPath(), {}};
        ScanFolder(own);
        row("Label8", "QLabel", "Frame1", QString::number(own.FileCount()), {4080, 1080, 855, 255});
        row("Frame2", "QGroupBox", "Form1", QStringLiteral("步骤(2) 选择提取方式"), {240, 1800, 6135, 1935});
        row("Option1", "QRadioButton", "Frame2", QStringLiteral("按行数"), {240, 480, 1095, 375});
        row("Label2", "QLabel", "Frame2", QStringLiteral("提取行数(含)："), {1440, 480, 1575, 255});
        row("Text2", "QLineEdit", "Frame2", QString(), {2760, 360, 1215, 390});
        row("Label3", "QLabel", "Frame2", QStringLiteral("~"), {4080, 480, 375, 135});
        row("Text3", "QLineEdit", "Frame2", QStringLiteral("*"), {4440, 360, 1215, 390});
        row("Label9", "QLabel", "Frame2", QStringLiteral("星号代表最后一行"), {4320, 840, 1455, 255});
        row("Line1", "QFrame", "Frame2", QString(), {120, 1080, 5880, 15});
        row("Option2", "QRadioButton", "Frame2", QStringLiteral("按首列值"), {240, 1320, 1095, 375});
        row("Label11", "QLabel", "Frame2", QStringLiteral("数据范围(含)："), {1440, 1440, 1335, 255});
        row("Text5", "QLineEdit", "Frame2", QString(), {2760, 1320, 1215, 390});
        row("Label12", "QLabel", "Frame2", QStringLiteral("~"), {4080, 1440, 375, 135});
        row("Text6", "QLineEdit", "Frame2", QString(), {4440, 1320, 1215, 390});
        row("Frame4", "QGroupBox", "Form1", QStringLiteral("步骤(3) 添加保存前缀  如为空，则产生同名文件，可能会覆盖"),
            {240, 3840, 6135, 975});
        row("Label4", "QLabel", "Frame4", QStringLiteral("附加保存前缀："), {240, 480, 1575, 255});
        row("Text4", "QLineEdit", "Frame4", QString(), {1680, 360, 2175, 375});
        row("Label5", "QLabel", "Frame4", QStringLiteral("原文件名.txt"), {3960, 480, 1095, 255});
        row("Frame5", "QGroupBox", "Form1", QStringLiteral("步骤(4) 确认设置无误后点击执行"), {240, 4920, 6135, 1095});
        row("Command2", "QPushButton", "Frame5", QStringLiteral("执行"), {360, 360, 1455, 495});
        row("Label6", "QLabel", "Frame5", QStringLiteral("（执行后会在程序所在目录内创建文件）"), {2160, 600, 3375, 255});
    }

    void layout()
    {
        QFETCH(QString, kind);
        QFETCH(QString, parent);
        QFETCH(QString, text);
        QFETCH(QRect, twips);

        Form1 form;
        form.setObjectName(QStringLiteral("Form1"));
        const auto *control = form.findChild<QWidget *>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
        QCOMPARE(control->parentWidget()->objectName(), parent);
        QCOMPARE(CaptionOf(control), text);
        QCOMPARE(control->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QVERIFY(control->isVisibleTo(&form) && control->isEnabled());

        // The 26 controls of the table, and no more.
        const QRegularExpression controlName(QStringLiteral("^(Frame|Label|Text|Option|Command|Line)\\d+$"));
        QCOMPARE(form.findChildren<QWidget *>(controlName).size(), 26);
        QCOMPARE(form.size(), QSize(441, 419));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.windowTitle(), QStringLiteral("Tarvel"));
    }

    void tabOrderAndFonts()
    {
        Form1 form;
        QStringList order;
        QWidget *widget = form.Command1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != form.Command1);
        QCOMPARE(order.join(u' '), QStringLiteral("Command1 Text1 Text2 Text4 Command2 Text3 Option1 Option2 Text5 Text6"));

        const auto checkFont = [](const QWidget *control, const QString &face, qreal points) {
            QCOMPARE(control->font().families().value(0), face);
            QCOMPARE(control->font().pointSizeF(), points);
            QCOMPARE(control->font().weight(), QFont::Normal);
        };
        for (const QGroupBox *frame : {form.Frame1, form.Frame2, form.Frame4, form.Frame5})
            checkFont(frame, QStringLiteral("微软雅黑"), 10.5);
        for (const QLineEdit *box : {form.Text2, form.Text3, form.Text4, form.Text5, form.Text6})
            checkFont(box, QStringLiteral("宋体"), 12);
        checkFont(form.Label6, QStringLiteral("宋体"), 9);
        checkFont(form.Option2, QStringLiteral("宋体"), 9);
        checkFont(form.Command2, QStringLiteral("宋体"), 9);
        checkFont(form.Text1, QStringLiteral("宋体"), 9);
    }

    void initialState()
    {
        TestWindow window; // the path box and the count: see layout()
        QCOMPARE(window.form.Folder.FolderPath, QCoreApplication::applicationDirPath());
        QVERIFY(window.form.Option1->isChecked());
        QVERIFY(!window.form.Option2->isChecked());

        window.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&window.form));
        QCOMPARE(QApplication::focusWidget(), window.form.Command1);
        // Tab moves on through the filtered boxes; it is no typed character there.
        window.form.Text2->setFocus();
        QTest::keyClick(window.form.Text2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.form.Text4);
        QTest::keyClick(window.form.Text4, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), window.form.Text2);
        QCOMPARE(window.form.Text2->text(), QString());
    }

    void captionsFit()
    {
        Form1 form;
        for (const QWidget *control : form.findChildren<QWidget *>()) {
            const QString caption = CaptionOf(control);
            if (caption.isEmpty() || qobject_cast<const QLineEdit *>(control))
                continue;
            const QFontMetrics metrics(control->font());
            QVERIFY2(std::all_of(caption.begin(), caption.end(),
                                 [&](QChar c) { return c.unicode() < 128 || metrics.inFont(c); }),
                     "no font with Chinese characters: install one (scripts/install-deps does)");
            int needed = metrics.horizontalAdvance(caption);
            if (qobject_cast<const QRadioButton *>(control))
                needed += control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                    + control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
            else if (qobject_cast<const QPushButton *>(control))
                needed += 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin);
            const QString what = control->objectName() + QStringLiteral(": ") + caption;
            QVERIFY2(needed <= control->width(), qPrintable(what));
            QVERIFY2(metrics.tightBoundingRect(caption).height() <= control->height(), qPrintable(what));
        }
    }

    void keyRules_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char *tag, const char *box, const char *typed, const char *expected,
                            std::initializer_list<Qt::Key> thenKeys = {}) {
            QTestEventList keys;
            keys.addKeyClicks(QString::fromLatin1(typed));
            for (const Qt::Key key : thenKeys)
                keys.addKeyClick(key);
            QTest::newRow(tag) << QString::fromLatin1(box) << keys << QString::fromLatin1(expected);
        };
        row("Text2 drops a letter", "Text2", "12a3", "123");
        row("Text2 drops the star", "Text2", "1*2", "12");
        row("Text2 drops sign, space, comma, exponent", "Text2", "-1 ,e+2", "12");
        row("Text3 takes stars anywhere, twice", "Text3", "12*3*", "*12*3*");
        row("Text3 drops the point", "Text3", ".5", "*5");
        row("Text5 drops the minus", "Text5", "-1.5", "1.5");
        row("Text6 keeps 1.5.2", "Text6", "1.5.2", "1.5.2");
        row("Text6 drops the plus and the star", "Text6", "+*.", ".");
        row("Text4 takes anything", "Text4", "a-*. 1", "a-*. 1");
        row("backspace deletes in Text2", "Text2", "12", "1", {Qt::Key_Backspace});
        row("backspace deletes in Text3", "Text3", "12", "*1", {Qt::Key_Backspace});
        row("backspace deletes in Text5", "Text5", "1.", "1", {Qt::Key_Backspace});
        row("backspace deletes in Text6", "Text6", "12", "1", {Qt::Key_Backspace});
        row("Home and Delete keep their work", "Text2", "12", "2", {Qt::Key_Home, Qt::Key_Delete});
        row("arrows keep their work", "Text5", "13", "1.3", {Qt::Key_Left, Qt::Key_Period});
        row("Enter and Escape type nothing", "Text5", "1", "1", {Qt::Key_Return, Qt::Key_Escape});
        row("Enter in Text4 presses no button", "Text4", "ab", "ab", {Qt::Key_Return, Qt::Key_Enter});
    }

    void keyRules()
    {
        QFETCH(QString, box);
        QFETCH(QTestEventList, keys);
        QFETCH(QString, expected);

        TestWindow window;
        QLineEdit *edit = window.box(box);
        edit->end(false);
        keys.simulate(edit);
        QCOMPARE(edit->text(), expected);
        QVERIFY(window.messages.isEmpty()); // Enter pressed no button
    }

    void controlCharacters_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("filtered");
        for (const char *box : {"Text2", "Text3", "Text5", "Text6", "Text4"})
            QTest::newRow(box) << QString::fromLatin1(box) << (box != std::string_view("Text4"));
    }

    void controlCharacters()
    {
        QFETCH(QString, box);
        QFETCH(bool, filtered);

        TestWindow window;
        QLineEdit *edit = window.box(box);
        edit->clear();
        QCOMPARE(edit->testAttribute(Qt::WA_InputMethodEnabled), !filtered);

        QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("温"));
        QApplication::sendEvent(edit, &chinese);
        QCOMPARE(edit->text(), filtered ? QString() : QStringLiteral("温"));

        // Ctrl+V types the control character 22, which the rules cancel, paste and all.
        edit->clear();
        QApplication::clipboard()->setText(QStringLiteral("77"));
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
        QApplication::sendEvent(edit, &paste);
        QCOMPARE(edit->text(), filtered ? QString() : QStringLiteral("77"));

        // Delete carries DEL (127) in its text on X11, yet types no character.
        edit->setText(QStringLiteral("12"));
        edit->home(false);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
        QApplication::sendEvent(edit, &del);
        QCOMPARE(edit->text(), QStringLiteral("2"));
    }

    void optionPair()
    {
        TestWindow window;
        Form1 &form = window.form;
        QTest::keyClicks(form.Text2, QStringLiteral("2"));
        QTest::keyClicks(form.Text5, QStringLiteral("1.5"));
        QTest::mouseClick(form.Option2, Qt::LeftButton);
        QVERIFY(form.Option2->isChecked() && !form.Option1->isChecked());
        QTest::keyClicks(form.Text3, QStringLiteral("9"));
        QCOMPARE(form.Text2->text(), QStringLiteral("2"));
        QCOMPARE(form.Text3->text(), QStringLiteral("*9"));
        QTest::mouseClick(form.Option1, Qt::LeftButton);
        QVERIFY(form.Option1->isChecked() && !form.Option2->isChecked());
        QCOMPARE(form.Text5->text(), QStringLiteral("1.5"));
    }

    void folderChoice()
    {
        QTemporaryDir temp;
        const QString folder = temp.filePath(QStringLiteral("数据 2024"));
        QVERIFY(QDir().mkpath(folder));
        WriteFile(folder + QStringLiteral("/温度.txt"), FileA);
        WriteFile(folder + QStringLiteral("/b.dat"), FileB);

        TestWindow window;
        window.chooseFolder(folder);
        QCOMPARE(window.folderTitles, QStringList{QStringLiteral("请选择一个文件夹：")});
        QCOMPARE(window.owners.value(0), static_cast<QWidget *>(&window.form));
        QCOMPARE(window.form.Text1->text(), QDir::toNativeSeparators(folder));
        QCOMPARE(window.form.Label8->text(), QStringLiteral("2"));

        window.chooseFolder(QString()); // cancelled
        QCOMPARE(window.form.Folder.FolderPath, folder);
        QCOMPARE(window.form.Text1->text(), QDir::toNativeSeparators(folder));
        QCOMPARE(window.form.Folder.FileNames, (QStringList{QStringLiteral("温度.txt"), QStringLiteral("b.dat")}));
        QCOMPARE(window.form.Label8->text(), QStringLiteral("2"));
    }

    void browseForFolder_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("accept");
        QTest::newRow("chosen") << QStringLiteral("请选择一个文件夹：") << QStringLiteral("请选择一个文件夹：") << true;
        QTest::newRow("empty title") << QString() << QStringLiteral("选择目录") << true;
        QTest::newRow("cancelled") << QStringLiteral("请选择一个文件夹：") << QStringLiteral("请选择一个文件夹：") << false;
    }

    void browseForFolder()
    {
        QFETCH(QString, title);
        QFETCH(QString, heading);
        QFETCH(bool, accept);

        QTemporaryDir temp;
        const QString folder = temp.filePath(QStringLiteral("结果文件夹"));
        QVERIFY(QDir().mkpath(folder));
        QWidget owner;
        QString seenHeading;
        QWidget *seenOwner = nullptr;
        const WhenDialogOpens<QFileDialog> answer([&](QFileDialog *dialog) {
            seenHeading = dialog->windowTitle();
            seenOwner = dialog->parentWidget();
            dialog->setDirectory(folder);
            QDialog *asDialog = dialog; // QFileDialog::accept() is protected; QDialog::accept() calls it
            accept ? asDialog->accept() : asDialog->reject();
        });
        const QString chosen = BrowseForFolder(&owner, title);
        QCOMPARE(seenHeading, heading);
        QCOMPARE(seenOwner, &owner);
        QCOMPARE(chosen, accept ? folder : QString());
    }

    void runFromButton_data()
    {
        QTest::addColumn<bool>("byValue");
        QTest::addColumn<QString>("from"); // Text2 or Text5
        QTest::addColumn<QString>("to");   // Text3 or Text6
        QTest::addColumn<QByteArray>("resultA");
        QTest::addColumn<QByteArray>("resultB");

        const auto row = [](const char *tag, bool byValue, const char *from, const char *to, const char *resultA,
                            const char *resultB) {
            QTest::newRow(tag) << byValue << QString::fromLatin1(from) << QString::fromLatin1(to)
                               << QByteArray(resultA) << QByteArray(resultB);
        };
        row("lines 2 to 3", false, "2", "3", "20 y\r\n30 z\r\n", "2\n\r\n3\r\n");
        row("lines 2 to last", false, "2", "*", "20 y\r\n30 z\r\n40 w\r\n", "2\n\r\n3\r\n4\r\n");
        row("values 15 to 30", true, "15", "30", "20 y\r\n30 z\r\n", "");
        row("values .5 to 3.5", true, ".5", "3.5", "", "1\r\n2\n\r\n3\r\n");
    }

    void runFromButton()
    {
        QFETCH(bool, byValue);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QByteArray, resultA);
        QFETCH(QByteArray, resultB);

        QTemporaryDir source, out;
        WriteFile(source.filePath(QStringLiteral("a.txt")), FileA);
        WriteFile(source.filePath(QStringLiteral("b.dat")), FileB);
        TestWindow window;
        window.chooseFolder(source.path());
        if (byValue)
            QTest::mouseClick(window.form.Option2, Qt::LeftButton);
        QLineEdit *low = byValue ? window.form.Text5 : window.form.Text2;
        QLineEdit *high = byValue ? window.form.Text6 : window.form.Text3;
        high->clear();
        QTest::keyClicks(low, from);
        QTest::keyClicks(high, to);
        window.form.Text4->setText(out.filePath(QStringLiteral("新_")));

        const RunMessage message = window.run();
        QCOMPARE(message.Text, QStringLiteral("处理完成"));
        QVERIFY(!message.Warning);
        QCOMPARE(window.owners.last(), static_cast<QWidget *>(&window.form));
        QCOMPARE(ReadFile(out.filePath(QStringLiteral("新_a.txt"))), resultA);
        QCOMPARE(ReadFile(out.filePath(QStringLiteral("新_b.dat"))), resultB);
        QCOMPARE(ReadFile(source.filePath(QStringLiteral("a.txt"))), FileA);

        // An empty folder still gets its message.
        QTemporaryDir empty;
        window.chooseFolder(empty.path());
        QCOMPARE(window.run().Text, QStringLiteral("处理完成"));
    }

    void runFailures()
    {
        QTemporaryDir source;
        WriteFile(source.filePath(QStringLiteral("a.txt")), FileA);
        WriteFile(source.filePath(QStringLiteral("b.dat")), FileB);
        TestWindow window;
        window.chooseFolder(source.path());
        const QString prefix = source.filePath(QStringLiteral("missing/new_"));
        window.form.Text4->setText(prefix);

        const RunMessage message = window.run();
        QVERIFY(message.Warning);
        const QStringList lines = message.Text.split(u'\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.mid(0, 3), (QStringList{QStringLiteral("处理完成"), QString(), QStringLiteral("2 个文件未能处理：")}));
        QVERIFY2(lines[3].startsWith(QStringLiteral("a.txt：无法写入结果文件 %1a.txt（").arg(QDir::toNativeSeparators(prefix))),
                 qPrintable(lines[3]));
        QVERIFY2(lines[4].startsWith(QStringLiteral("b.dat：无法写入结果文件 ")), qPrintable(lines[4]));
        QVERIFY(lines[4].endsWith(u'）'));
    }

    void cancelThroughProgressDialog()
    {
        QTemporaryDir source, out;
        constexpr int FileCount = 6;
        for (int i = 0; i < FileCount; ++i)
            WriteFile(source.filePath(QStringLiteral("f%1.txt").arg(i)), FileA);
        TestWindow window;
        window.chooseFolder(source.path());
        window.form.Text4->setText(out.filePath(QStringLiteral("r_")));
        window.form.ProgressDelayMs = 0;

        bool modalToWindow = false;
        const WhenDialogOpens<QProgressDialog> cancel([&](QProgressDialog *dialog) {
            modalToWindow = dialog->parentWidget() == &window.form && dialog->windowModality() != Qt::NonModal;
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->text() == QStringLiteral("取消"))
                    QTest::mouseClick(button, Qt::LeftButton);
            }
        });
        const RunMessage message = window.run();
        QVERIFY(modalToWindow);

        const int written = QDir(out.path()).entryList(QDir::Files).size();
        QVERIFY2(written < FileCount, "the run went on after 取消");
        QCOMPARE(message.Text, QStringLiteral("已取消\n\n已处理 %1 个文件，共 %2 个。").arg(written).arg(FileCount));
        QVERIFY(!message.Warning);
    }

    void runMessage_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QString>("head");
        QTest::addColumn<int>("listed");

        QTest::newRow("all done") << 0 << false << QStringLiteral("处理完成") << 0;
        QTest::newRow("one failure") << 1 << false << QStringLiteral("处理完成\n\n1 个文件未能处理：") << 1;
        QTest::newRow("ten failures, all listed") << 10 << false << QStringLiteral("处理完成\n\n10 个文件未能处理：") << 10;
        QTest::newRow("eleven failures, ten listed")
            << 11 << false << QStringLiteral("处理完成\n\n11 个文件未能处理：") << 10;
        QTest::newRow("cancelled") << 0 << true << QStringLiteral("已取消\n\n已处理 3 个文件，共 20 个。") << 0;
        QTest::newRow("cancelled with a failure")
            << 1 << true << QStringLiteral("已取消\n\n已处理 3 个文件，共 20 个。\n\n1 个文件未能处理：") << 1;
    }

    void runMessage()
    {
        QFETCH(int, failures);
        QFETCH(bool, stopped);
        QFETCH(QString, head);
        QFETCH(int, listed);

        BatchReport report{20, 3, stopped, {}};
        for (int i = 0; i < failures; ++i)
            report.Failures.append({QStringLiteral("f%1.txt").arg(i), BatchFailure::Side::Source,
                                    QStringLiteral("/d/f%1.txt").arg(i), QStringLiteral("Permission denied")});
        const RunMessage message = RunMessageFor(report);
        QVERIFY(message.Text.startsWith(head));
        QCOMPARE(message.Warning, failures > 0);
        const QStringList rest = message.Text.mid(head.size()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rest.size(), listed + (failures > listed ? 1 : 0));
        for (int i = 0; i < listed; ++i)
            QCOMPARE(rest[i], QStringLiteral("f%1.txt：无法读取（Permission denied）").arg(i));
        if (failures > listed)
            QCOMPARE(rest.last(), QStringLiteral("……"));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
