// tarvel-batch run as a user runs it, on temporary folders.

#include "fixture.h"

#include <QProcess>
#include <QTest>

namespace {

// a.txt in CR LF, b.dat in GBK (温度 15 / 15米 x / 12), c.asc in lone CRs
const Contents Sources{{u"a.txt"_s, "10 x\r\n20 y\r\n30 z\r\n40 w\r\n"},
                       {u"b.dat"_s, "\xce\xc2\xb6\xc8 15\r\n15\xc3\xd7 x\r\n12\r\n"},
                       {u"c.asc"_s, "5 a\r25 b\r"}};
const Contents FromLineTwo{{u"a.txt"_s, "20 y\r\n30 z\r\n40 w\r\n"},
                           {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
                           {u"c.asc"_s, "25 b\r\n"}};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("arguments"); // DIR stands for the source folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("error"); // how standard error begins; empty: nothing on it
        QTest::addColumn<Contents>("workAfter"); // the working directory after the run
        QTest::addColumn<Contents>("folderAfter");
        const auto ran = [](const char *name, const QString &setup, const QString &arguments, int exitCode,
                            const QByteArray &error, const Contents &workAfter, const Contents &folderAfter) {
            QTest::newRow(name) << setup << arguments << exitCode << error << workAfter << folderAfter;
        };
        const auto refused = [&](const char *name, const QString &setup, const QString &arguments) {
            ran(name, setup, arguments, 2, "tarvel-batch: ", {}, Sources);
        };
        Contents newFromLineTwo;
        for (auto it = FromLineTwo.begin(); it != FromLineTwo.end(); ++it)
            newFromLineTwo.insert(u"new_"_s + it.key(), it.value());

        ran("lines 2 to * with a prefix", {}, u"--to * --from 2 --prefix new_ DIR"_s, 0, {}, newFromLineTwo, Sources);
        ran("values 10 to 20", {}, u"--by-value --low 10 --high 20 DIR"_s, 0, {},
            {{u"a.txt"_s, "10 x\r\n20 y\r\n"}, {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"}, {u"c.asc"_s, ""}}, Sources);
        ran("results that fail", {}, u"--prefix DIR/a.txt/ DIR"_s, 1, "tarvel-batch: a.txt: ", {}, Sources);
        refused("missing folder", {}, u"DIR/nowhere"_s);
        refused("folder is a file", {}, u"DIR/a.txt"_s);
        refused("both modes", {}, u"--by-lines --by-value DIR"_s);
        refused("two folders", {}, u"DIR DIR"_s);
        refused("unknown option", {}, u"--frm 2 DIR"_s);
        refused("option without its text", {}, u"DIR --from"_s);
        refused("empty prefix in the folder", u"in folder"_s, u"--from 2"_s);
        ran("empty prefix in the folder, in place", u"in folder"_s, u"--from 2 --in-place"_s, 0, {}, {}, FromLineTwo);
        refused("prefix back into the folder", {}, u"--from 2 --prefix DIR/ DIR"_s);
        ran("prefix back into the folder, in place", {}, u"--from 2 --prefix DIR/ --in-place DIR"_s, 0, {}, {},
            FromLineTwo);
        // Writing through a hard link to the source would empty the source before it is read.
        ran("result hard-linked to its source", u"hard link"_s, u"--from 2 DIR"_s, 2, "tarvel-batch: a.txt: ",
            {{u"a.txt"_s, Sources[u"a.txt"_s]}}, Sources);
    }

    void run()
    {
        QFETCH(QString, setup);
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, error);
        QFETCH(Contents, workAfter);
        QFETCH(Contents, folderAfter);
        QTemporaryDir folder, work;
        for (auto it = Sources.begin(); it != Sources.end(); ++it)
            QVERIFY(writeFile(folder.filePath(it.key()), it.value()));
        const QByteArray source = QFile::encodeName(folder.filePath(u"a.txt"_s));
        if (setup == u"hard link"_s)
            QCOMPARE(::link(source.constData(), QFile::encodeName(work.filePath(u"a.txt"_s)).constData()), 0);

        QProcess tool;
        tool.setWorkingDirectory(setup == u"in folder"_s ? folder.path() : work.path());
        tool.start(QStringLiteral(TARVEL_BATCH_EXE), arguments.split(u' ').replaceInStrings(u"DIR"_s, folder.path()));
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), exitCode);
        QCOMPARE(tool.readAllStandardOutput(), QByteArray());
        const QByteArray err = tool.readAllStandardError();
        QVERIFY2(error.isEmpty() ? err.isEmpty() : err.startsWith(error), err.constData());
        QCOMPARE(folderContents(work.path()), workAfter);
        QCOMPARE(folderContents(folder.path()), folderAfter);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
