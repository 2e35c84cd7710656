// SPDX-License-Identifier: GPL-3.0-or-later
// tarvel-batch run as a user runs it, on temporary folders.

#include "fixture.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <filesystem>
#include <fstream>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

// Setups meant to make the tool write where it must not, in the working
// folder WORK beside the source folder DIR (the arguments run in DIR when
// they do not name it). Every source and every earlier file must stay as it
// was and no temporary file be left; only the results in `written` appear,
// each r_NAME holding NAME from line 2 on.
struct Hostile
{
    const char *name, *setup, *arguments;
    int exitCode;
    const char *error; // a line standard error must hold
    QStringList written;
};

const char *const Link = "a.txt: cannot write r_a.txt: is a symbolic link";
const char *const ReplacesB = "a.txt: its result r_a.txt would replace the source b.dat;";
const QStringList BandC{u"r_b.dat"_s, u"r_c.asc"_s};
const Hostile Hostiles[] = {
    {"result links to a source", "link to source", "--from 2 --prefix r_ DIR", 2, ReplacesB, {}},
    {"result links to a source, in place", "link to source", "--from 2 --prefix r_ --in-place DIR", 1, Link,
     BandC},
    {"result links to another file", "link to file", "--from 2 --prefix r_ DIR", 1, Link, BandC},
    {"result is a dangling link", "dangling link", "--from 2 --prefix r_ DIR", 1, Link, BandC},
    {"result links to a folder", "link to folder", "--from 2 --prefix r_ DIR", 1, Link, BandC},
    {"a folder of the prefix is a link", "folder link", "--from 2 --prefix out/r_ DIR", 0, "",
     {u"real/r_a.txt"_s, u"real/r_b.dat"_s, u"real/r_c.asc"_s}},
    {"result hard-linked to another source", "hard link", "--from 2 --prefix r_ DIR", 2, ReplacesB, {}},
    {"result hard-linked to another source, in place", "hard link", "--from 2 --prefix r_ --in-place DIR",
     0, "", {u"r_a.txt"_s, u"r_b.dat"_s, u"r_c.asc"_s}},
    {"x_a.txt beside a.txt", "x_ chain", "--prefix x_", 2,
     "a.txt: its result x_a.txt would replace the source x_a.txt;", {}},
    {"help among options that rewrite", "", "--help-all --from 2 --in-place", 0, "", {}},
    {"version after a wrong option", "", "--in-place --frm 2 --version", 0, "", {}},
    {"read-only working folder, writable earlier result", "read-only work", "--from 2 --prefix r_ DIR", 1,
     "a.txt: cannot write r_a.txt: Permission denied", {}},
};

#ifdef Q_OS_UNIX
QByteArray encoded(const QString &path) { return QFile::encodeName(path); }

// Root ignores mode bits: there the tool runs as nobody, with the folders
// made theirs.
void runUnprivileged(QProcess &tool, const QString &program, const QStringList &arguments)
{
    if (::geteuid() == 0)
        tool.start(u"runuser"_s, QStringList{u"-u"_s, u"nobody"_s, u"--"_s, program} + arguments);
    else
        tool.start(program, arguments);
}
#endif

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
            QVERIFY(hardLink(folder.filePath(u"a.txt"_s), work.filePath(u"a.txt"_s)));

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

    void hostile_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Hostiles)); ++i)
            QTest::newRow(Hostiles[i].name) << i;
    }

    void hostile()
    {
        QFETCH(int, index);
        const Hostile &run = Hostiles[index];
        QTemporaryDir folder, work;
        for (auto it = Sources.begin(); it != Sources.end(); ++it)
            QVERIFY(writeFile(folder.filePath(it.key()), it.value()));
        const QString setup = QString::fromUtf8(run.setup), result = work.filePath(u"r_a.txt"_s);
        const bool readOnlyWork = setup == u"read-only work"_s;
#ifdef Q_OS_WIN
        if ((setup.contains(u"link"_s) && setup != u"hard link"_s) || readOnlyWork)
            QSKIP("symbolic links need a right that users seldom have on Windows, and folders there have no mode bits");
#endif
        if (setup == u"link to source"_s)
            QVERIFY(QFile::link(folder.filePath(u"b.dat"_s), result));
        if (setup == u"link to file"_s)
            QVERIFY(writeFile(work.filePath(u"other"_s), "other\r\n") && QFile::link(work.filePath(u"other"_s), result));
        if (setup == u"dangling link"_s)
            QVERIFY(QFile::link(work.filePath(u"nowhere"_s), result));
        if (setup == u"link to folder"_s || setup == u"folder link"_s) {
            QVERIFY(QDir(work.path()).mkdir(u"real"_s));
            QVERIFY(QFile::link(work.filePath(u"real"_s), setup == u"folder link"_s ? work.filePath(u"out"_s) : result));
        }
        if (setup == u"hard link"_s)
            QVERIFY(hardLink(folder.filePath(u"b.dat"_s), result));
        if (setup == u"x_ chain"_s)
            QVERIFY(writeFile(folder.filePath(u"x_a.txt"_s), "mine\r\n"));
#ifdef Q_OS_UNIX
        if (readOnlyWork) {
            QVERIFY(writeFile(result, "earlier\r\n"));
            for (const QString &path : {result, work.path()})
                QCOMPARE(::chown(encoded(path), ::geteuid() == 0 ? 65534 : ::geteuid(), -1), 0);
            QCOMPARE(::chmod(encoded(folder.path()), 0755), 0);
            QCOMPARE(::chmod(encoded(work.path()), 0555), 0);
        }
        const auto writable = qScopeGuard([&] { ::chmod(encoded(work.path()), 0755); });
#endif
        const Contents folderBefore = folderContents(folder.path());
        Contents workAfter = folderContents(work.path());
        for (const QString &path : run.written)
            workAfter.insert(path, FromLineTwo.value(QFileInfo(path).fileName().mid(2)));

        const QString arguments = QString::fromUtf8(run.arguments);
        const QStringList argumentList = arguments.split(u' ').replaceInStrings(u"DIR"_s, folder.path());
        QProcess tool;
        tool.setWorkingDirectory(arguments.contains(u"DIR"_s) ? work.path() : folder.path());
#ifdef Q_OS_UNIX
        if (readOnlyWork)
            runUnprivileged(tool, QStringLiteral(TARVEL_BATCH_EXE), argumentList);
        else
#endif
            tool.start(QStringLiteral(TARVEL_BATCH_EXE), argumentList);
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitCode(), run.exitCode);
        const QByteArray err = tool.readAllStandardError();
        QVERIFY2(*run.error ? err.contains(QByteArray("tarvel-batch: ") + run.error) : err.isEmpty(), err.constData());
        QCOMPARE(folderContents(work.path()), workAfter);
        QCOMPARE(folderContents(folder.path()), folderBefore);
    }

    void verbose_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // how standard output and error together begin; WORK is the working folder
        QTest::newRow("two of three empty") << u"--verbose --by-value --low 12 --high 12 DIR"_s << 0
                                            << u"tarvel-batch: 3 result files written into WORK, 2 of them empty\n"_s;
        QTest::newRow("before the failures") << u"--prefix out/r_ DIR --verbose"_s << 1
                                             << u"tarvel-batch: 0 result files written into WORK/out, 0 of them empty\n"
                                                "tarvel-batch: a.txt: cannot write out/r_a.txt: "_s;
    }

    void verbose()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir folder, work;
        for (auto it = Sources.begin(); it != Sources.end(); ++it)
            QVERIFY(writeFile(folder.filePath(it.key()), it.value()));
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.setWorkingDirectory(work.path());
        tool.start(QStringLiteral(TARVEL_BATCH_EXE), arguments.split(u' ').replaceInStrings(u"DIR"_s, folder.path()));
        QVERIFY(tool.waitForFinished(-1));
        QCOMPARE(tool.exitCode(), exitCode);
        const QString said = QString::fromLocal8Bit(tool.readAll()).remove(u'\r'); // CR LF on Windows
        const QString expected = QDir::toNativeSeparators(output.replace(u"WORK"_s, work.path()));
        QVERIFY2(said.startsWith(expected), qPrintable(said));
    }

#ifdef Q_OS_UNIX
    // Names as bytes, which POSIX file systems hold and Windows ones do not.
    // A name with a newline, one in GBK and one in Chinese, each failing:
    // one line each on standard error, the first two quoted with escapes.
    void unsafeNames()
    {
        QTemporaryDir root;
        const std::filesystem::path folder = encoded(root.filePath(u"src"_s)).toStdString();
        QVERIFY(std::filesystem::create_directory(folder));
        const auto removeRawNames = qScopeGuard([&] { std::filesystem::remove_all(folder); });
        for (const char *name : {"a\nb.txt", "\xb2\xe2.txt", "\xe6\xb8\xa9\xe5\xba\xa6.txt"})
            QVERIFY(std::ofstream(folder / name, std::ios::binary) << "1 x\r\n");

        QProcess tool;
        tool.setWorkingDirectory(root.path());
        tool.start(QStringLiteral(TARVEL_BATCH_EXE), {u"--prefix"_s, u"nowhere/"_s, QString::fromStdString(folder)});
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitCode(), 1);
        const QList<QByteArray> lines = tool.readAllStandardError().split('\n');
        QCOMPARE(lines.size(), 4); // the last is empty
        QCOMPARE(lines[0], "tarvel-batch: 'a\\nb.txt': cannot write 'nowhere/a\\nb.txt': No such file or directory");
        QVERIFY2(lines[1].startsWith("tarvel-batch: '\\xb2\\xe2.txt': cannot read it: "), lines[1]);
        QCOMPARE(lines[2], "tarvel-batch: \xe6\xb8\xa9\xe5\xba\xa6.txt: cannot write nowhere/\xe6\xb8\xa9\xe5\xba\xa6.txt: "
                           "No such file or directory");
    }
#endif
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
