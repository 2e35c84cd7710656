// tarvel-batch run as a user runs it, on temporary folders.

#include "fixture.h"

#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

// a.txt in CR LF, b.dat in GBK (温度 15 / 15米 x / 12), c.asc in a lone CR, a
// lone LF and a right-aligned last line without line end
const Contents Sources{{u"a.txt"_s, "10 x\r\n20 y\r\n30 z\r\n40 w\r\n"},
                       {u"b.dat"_s, "\xce\xc2\xb6\xc8 15\r\n15\xc3\xd7 x\r\n12\r\n"},
                       {u"c.asc"_s, "5 a\r25 b\n   15 c"}};
const Contents FromLineTwo{{u"a.txt"_s, "20 y\r\n30 z\r\n40 w\r\n"},
                           {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
                           {u"c.asc"_s, "25 b\r\n   15 c\r\n"}};
const Contents NewFromLineTwo{{u"new_a.txt"_s, FromLineTwo[u"a.txt"_s]},
                              {u"new_b.dat"_s, FromLineTwo[u"b.dat"_s]},
                              {u"new_c.asc"_s, FromLineTwo[u"c.asc"_s]}};
const Contents From10To20{{u"a.txt"_s, "10 x\r\n20 y\r\n"}, {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
                          {u"c.asc"_s, "   15 c\r\n"}};

// The arguments (DIR stands for the source folder), run in a working folder
// of its own unless set up otherwise, and what the run must leave: the exit
// status, how standard error begins (empty: nothing on it), both folders.
struct Run
{
    const char *name, *setup, *arguments;
    int exitCode;
    const char *error;
    Contents workAfter, folderAfter;
};

const char *const Usage = "tarvel-batch: ", *const OnA = "tarvel-batch: a.txt: ";
const Run Runs[] = {
    {"lines 2 to * with a prefix", "", "--to * --from 2 --prefix new_ DIR", 0, "", NewFromLineTwo, Sources},
    {"values 10 to 20", "", "--by-value --low 10 --high 20 DIR", 0, "", From10To20, Sources},
    {"results that fail", "", "--prefix DIR/a.txt/ DIR", 1, OnA, {}, Sources},
    {"missing folder", "", "DIR/nowhere", 2, Usage, {}, Sources},
    {"folder is a file", "", "DIR/a.txt", 2, Usage, {}, Sources},
    {"both modes", "", "--by-lines --by-value DIR", 2, Usage, {}, Sources},
    {"two folders", "", "DIR DIR", 2, Usage, {}, Sources},
    {"unknown option", "", "--frm 2 DIR", 2, Usage, {}, Sources},
    {"--to that is no number", "", "--to abc DIR", 2, "tarvel-batch: --to: 'abc'", {}, Sources},
    {"--from with two points", "", "--from 1.2.3 DIR", 2, "tarvel-batch: --from: ", {}, Sources},
    {"--from past 64 bits", "", "--from 9223372036854775808 DIR", 2, "tarvel-batch: --from: ", {}, Sources},
    {"--low with a unit", "", "--by-value --low 5x DIR", 2, "tarvel-batch: --low: ", {}, Sources},
    {"--high past a double", "", "--by-value --high 1e400 DIR", 2, "tarvel-batch: --high: ", {}, Sources},
    {"--to 3* is the last line", "", "--from 2 --to 3* --prefix new_ DIR", 0, "", NewFromLineTwo, Sources},
    {"empty prefix in the folder", "in folder", "--from 2", 2, OnA, {}, Sources},
    {"empty prefix in the folder, in place", "in folder", "--from 2 --in-place", 0, "", {}, FromLineTwo},
    {"prefix back into the folder", "", "--from 2 --prefix DIR/ DIR", 2, OnA, {}, Sources},
    {"prefix back, in place", "", "--from 2 --prefix DIR/ --in-place DIR", 0, "", {}, FromLineTwo},
    // Writing through a hard link to the source would empty the source before it is read.
    {"result hard-linked to its source", "hard link", "--from 2 DIR", 2, OnA,
     {{u"a.txt"_s, Sources[u"a.txt"_s]}}, Sources},
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Runs)); ++i)
            QTest::newRow(Runs[i].name) << i;
    }

    void run()
    {
        QFETCH(int, index);
        const Run &run = Runs[index];
        QTemporaryDir folder, work;
        for (auto it = Sources.begin(); it != Sources.end(); ++it)
            QVERIFY(writeFile(folder.filePath(it.key()), it.value()));
        const QString setup = QString::fromUtf8(run.setup), arguments = QString::fromUtf8(run.arguments);
        if (setup == u"hard link"_s)
            QCOMPARE(::link(QFile::encodeName(folder.filePath(u"a.txt"_s)).constData(),
                            QFile::encodeName(work.filePath(u"a.txt"_s)).constData()), 0);

        QProcess tool;
        tool.setWorkingDirectory(setup == u"in folder"_s ? folder.path() : work.path());
        tool.start(QStringLiteral(TARVEL_BATCH_EXE),
                   arguments.split(u' ').replaceInStrings(u"DIR"_s, folder.path()));
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), run.exitCode);
        QCOMPARE(tool.readAllStandardOutput(), QByteArray());
        const QByteArray err = tool.readAllStandardError();
        QVERIFY2(*run.error ? err.startsWith(run.error) : err.isEmpty(), err.constData());
        QCOMPARE(folderContents(work.path()), run.workAfter);
        QCOMPARE(folderContents(folder.path()), run.folderAfter);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
