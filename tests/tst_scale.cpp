// Scale within seconds: a folder of 100,000 data files listed and run from
// the window, line numbers past the 16-bit range, and a single line of many
// megabytes.

#include "batchfixture.h"
#include "batchrun.h"
#include "folderstate.h"
#include "form1.h"
#include "runmessage.h"
#include "tmpfsmount.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <limits>

namespace {

const int ManyFiles = 100000;
const std::array<const char *, 3> Extensions{".txt", ".asc", ".dat"};

// File i of the large folder: its extension goes round .txt, .asc, .dat.
QString manyName(int i)
{
    return QStringLiteral("f%1").arg(i, 6, 10, QLatin1Char('0')) + QLatin1String(Extensions[i % 3]);
}

// Every 10,000th file holds a line that a run by value keeps.
bool holdsKeptLine(int i) { return i % 10000 == 7; }

} // namespace

class TestScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hundredThousandFiles();
    void lineNumbersPast16Bits_data();
    void lineNumbersPast16Bits();
    void singleHugeLine_data();
    void singleHugeLine();
};

void TestScale::hundredThousandFiles()
{
    QTemporaryDir sources;
    for (int i = 0; i < ManyFiles; ++i) {
        const QByteArray content = holdsKeptLine(i) ? "5 kept\r\n" : "1 x\r\n";
        QVERIFY(writeFile(sources.filePath(manyName(i)), content));
    }
    QVERIFY(writeFile(sources.filePath(QStringLiteral("notes.txt.bak")), "1 x\r\n"));

    // A result is synced to disk when committed, which costs milliseconds on
    // a real disk; on a tmpfs 100,000 of them take seconds.
    QTemporaryDir results;
    const TmpfsMount memory(results.path(), "size=64m");
    if (!memory.whyNot().isEmpty())
        qInfo("results go to %s (%s), which may take minutes", qPrintable(results.path()),
              qPrintable(memory.whyNot()));

    // Through the window: the folder chosen, then a run by value 5 to 5.
    Form1 form;
    // The dialog never shows: once up, it repaints for every one of the files.
    form.ProgressDelayMs = std::numeric_limits<int>::max();
    form.ChooseFolder = [&](QWidget *, const QString &) { return sources.path(); };
    QList<RunMessage> shown;
    form.ShowMessage = [&](QWidget *, const RunMessage &message) { shown.append(message); };
    form.Command1->click();

    QCOMPARE(form.Label8->text(), QStringLiteral("100000"));
    // Grouped by extension, each group in name order; notes.txt.bak left out.
    QStringList expected;
    for (int group = 0; group < 3; ++group) {
        for (int i = group; i < ManyFiles; i += 3)
            expected.append(manyName(i));
    }
    QCOMPARE(form.Folder.FileNames, expected);

    const QString prefix = results.path() + QStringLiteral("/r_");
    form.Option2->setChecked(true);
    form.Text5->setText(QStringLiteral("5"));
    form.Text6->setText(QStringLiteral("5"));
    form.Text4->setText(prefix);
    form.Command2->click();

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().Text, QStringLiteral("处理完成"));
    QVERIFY(!shown.first().Warning);
    QCOMPARE(entriesOf(results.path()).size(), ManyFiles);
    for (int i = 0; i < ManyFiles; i += 1111) {
        const QByteArray expected = holdsKeptLine(i) ? "5 kept\r\n" : "";
        QCOMPARE(readFile(prefix + manyName(i)), expected);
    }
    for (int i = 7; i < ManyFiles; i += 10000)
        QCOMPARE(readFile(prefix + manyName(i)), QByteArray("5 kept\r\n"));
}

void TestScale::lineNumbersPast16Bits_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last"); // 0 with first 1: nothing kept

    QTest::newRow("from 32767 to the last")
        << QStringList{QStringLiteral("--from"), QStringLiteral("32767"), QStringLiteral("--to"), QStringLiteral("*")}
        << 32767 << 40000;
    QTest::newRow("from 32767 to an asterisk among digits")
        << QStringList{QStringLiteral("--from"), QStringLiteral("32767"), QStringLiteral("--to"), QStringLiteral("3*")}
        << 32767 << 40000;
    QTest::newRow("from 32768 is out of range: from the first")
        << QStringList{QStringLiteral("--from"), QStringLiteral("32768"), QStringLiteral("--to"), QStringLiteral("*")}
        << 1 << 40000;
    QTest::newRow("32767 to 32767")
        << QStringList{QStringLiteral("--from"), QStringLiteral("32767"), QStringLiteral("--to"), QStringLiteral("32767")}
        << 32767 << 32767;
    QTest::newRow("to 40000 is out of range: nothing")
        << QStringList{QStringLiteral("--from"), QStringLiteral("1"), QStringLiteral("--to"), QStringLiteral("40000")}
        << 1 << 0;
}

// A file of 40,000 lines through the command-line tool.
void TestScale::lineNumbersPast16Bits()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, first);
    QFETCH(int, last);

    QTemporaryDir sources;
    QTemporaryDir results;
    QVERIFY(writeFile(sources.filePath(QStringLiteral("a.txt")), numberedLines(1, 40000)));

    QProcess tool;
    tool.setWorkingDirectory(results.path());
    tool.start(QStringLiteral(TARVEL_BATCH_EXE),
               arguments + QStringList{QStringLiteral("--prefix"), QStringLiteral("r_"), sources.path()});
    QVERIFY(tool.waitForFinished(-1));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.readAllStandardError(), QByteArray());
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(readFile(results.filePath(QStringLiteral("r_a.txt"))), numberedLines(first, last));
}

void TestScale::singleHugeLine_data()
{
    QTest::addColumn<BatchSettings>("settings");
    QTest::addColumn<bool>("kept");

    QTest::newRow("to the last line") << byLines(QString(), QStringLiteral("*")) << true;
    QTest::newRow("lines 1 to 1") << byLines(QStringLiteral("1"), QStringLiteral("1")) << true;
    QTest::newRow("from line 2") << byLines(QStringLiteral("2"), QStringLiteral("*")) << false;
    QTest::newRow("by value, inside") << byValue(QStringLiteral("15"), QStringLiteral("16")) << true;
    QTest::newRow("by value, outside") << byValue(QStringLiteral("16"), QStringLiteral("17")) << false;
}

// One line of 48 MiB without a line end: many times the reader's block and
// the writer's buffer.
void TestScale::singleHugeLine()
{
    QFETCH(BatchSettings, settings);
    QFETCH(bool, kept);

    QByteArray line = "15.5 ";
    line += QByteArray("0123456789 abcdefghij\n").repeated((48 << 20) / 22);
    const QByteArray result = resultOfOneFile(settings, line);
    QVERIFY(!result.isNull());
    QCOMPARE(result.size(), kept ? line.size() + 2 : 0);
    QVERIFY(result == (kept ? line + "\r\n" : QByteArray()));
}

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
