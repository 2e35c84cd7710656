// SPDX-License-Identifier: GPL-3.0-or-later
// tarvel-batch run as a user runs it: from a working folder "work" on a
// source folder "数据" beside it, with set-ups meant to make it write where
// it must not.

#include "fixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <filesystem>
#include <fstream>
#include <utility>
#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

// a.txt in CR LF, b.dat in GBK (温度 15 / 15米 x / 12), c.asc with a lone CR,
// a lone LF and a right-aligned last line without line end
const Contents Sources{{u"a.txt"_s, "10 x\r\n20 y\r\n30 z\r\n40 w\r\n"},
                       {u"b.dat"_s, "\xce\xc2\xb6\xc8 15\r\n15\xc3\xd7 x\r\n12\r\n"},
                       {u"c.asc"_s, "5 a\r25 b\n   15 c"}};
// What every result here holds: its source from line 2 on, which is also
// its lines from 12 to 45.
const Contents FromLineTwo{{u"a.txt"_s, "20 y\r\n30 z\r\n40 w\r\n"},
                           {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
                           {u"c.asc"_s, "25 b\r\n   15 c\r\n"}};

using SetUp = void (*)(const QString &folder, const QString &work);

void earlierResult(const QString &, const QString &work) { QVERIFY(writeFile(work + u"/r_a.txt"_s, "earlier\r\n")); }
void hardLinkToOwnSource(const QString &folder, const QString &work)
{
    QVERIFY(hardLink(folder + u"/a.txt"_s, work + u"/a.txt"_s));
}
void hardLinkToB(const QString &folder, const QString &work)
{
    QVERIFY(hardLink(folder + u"/b.dat"_s, work + u"/r_a.txt"_s));
}
void resultOfAIsASource(const QString &folder, const QString &) { QVERIFY(writeFile(folder + u"/x_a.txt"_s, "mine\r\n")); }
void resultOfAIsALinkedSource(const QString &folder, const QString &)
{
    QVERIFY(hardLink(folder + u"/a.txt"_s, folder + u"/x_a.txt"_s));
}
#ifdef Q_OS_UNIX
constexpr auto Everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
void linkToB(const QString &folder, const QString &work) { QVERIFY(QFile::link(folder + u"/b.dat"_s, work + u"/r_a.txt"_s)); }
void folderLink(const QString &, const QString &work)
{
    QVERIFY(QDir(work).mkdir(u"real"_s) && QFile::link(work + u"/real"_s, work + u"/out"_s));
}
// A source of 4 GiB of zeros, one line, beside the tree the test compares:
// its result stays a temporary file long after it appears.
void largeSource(const QString &folder, const QString &)
{
    static QTemporaryDir outside;
    QFile large(outside.filePath(u"large"_s));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(qint64(4) << 30));
    QVERIFY(QFile::link(large.fileName(), folder + u"/large.txt"_s));
}
// Root ignores mode bits: the working folder and its earlier result r_a.txt
// become nobody's, who then runs the tool, with the sources readable.
void giveToNobody(const QString &folder, const QString &work)
{
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    for (const QString &path : {work, work + u"/r_a.txt"_s})
        QCOMPARE(::chown(QFile::encodeName(path).constData(), user, -1), 0);
    QVERIFY(QFile::setPermissions(QFileInfo(folder).path(), Everyone) && QFile::setPermissions(folder, Everyone));
}
// A writable earlier result in a working folder that may not be written:
// no way to replace it but writing through it.
void readOnlyWork(const QString &folder, const QString &work)
{
    earlierResult(folder, work);
    giveToNobody(folder, work);
    QVERIFY(QFile::setPermissions(work, QFile::ReadOwner | QFile::ExeOwner));
}
#endif
void readOnlyEarlier(const QString &folder, const QString &work)
{
    earlierResult(folder, work);
#ifdef Q_OS_UNIX
    giveToNobody(folder, work);
#endif
    QVERIFY(QFile::setPermissions(work + u"/r_a.txt"_s, QFile::ReadOwner));
}
#ifdef Q_OS_WIN
HANDLE held = INVALID_HANDLE_VALUE; // closed after each test
void outFolder(const QString &, const QString &work) { QVERIFY(QDir(work).mkdir(u"out"_s)); }
// Open as an editor holds a file: shared for reading only.
void heldOpen(const QString &folder, const QString &work)
{
    earlierResult(folder, work);
    held = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(work + u"/r_a.txt"_s).utf16()),
                         GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
}
#endif

// The arguments (DIR stands for the source folder, UPPER for it in upper
// case; without DIR the tool runs in the source folder), the exit code, how
// standard output and standard error begin (ROOT stands for the folder of
// both folders; empty: nothing), and the results the run writes, each
// holding its source from line 2 on. Nothing else may change.
struct Run
{
    const char *name;
    SetUp setUp;
    const char *arguments;
    int exitCode; // the signal's number when interrupted
    const char *output, *error;
    QStringList written;
    bool interrupted = false; // SIGTERM once the temporary file of a large source is there
    // Run under strace where it is installed: the syncs and renames it makes, in order.
    const char *syncsAndRenames = nullptr;
};

const char *const Usage = "tarvel-batch: ", *const OnA = "tarvel-batch: a.txt: ";
const char *const ReplacesB = "tarvel-batch: a.txt: its result r_a.txt would replace the source b.dat;";
const char *const WrittenIntoWork = "tarvel-batch: 3 result files written into ROOT/work, 0 of them empty\n";
const QStringList New{u"work/new_a.txt"_s, u"work/new_b.dat"_s, u"work/new_c.asc"_s};
const QStringList InPlace{u"数据/a.txt"_s, u"数据/b.dat"_s, u"数据/c.asc"_s};
const Run Runs[] = {
    {"lines 2 to 3*, the last line", nullptr, "--from 2 --to 3* --prefix new_ DIR", 0, "", "", New},
    {"values 12 to 45", nullptr, "--by-value --low 12 --high 45 --prefix new_ DIR", 0, "", "", New},
    {"verbose, lines 2 to *", nullptr, "--verbose --to * --from 2 --prefix new_ DIR", 0, WrittenIntoWork, "", New},
    {"results that fail, verbose", nullptr, "--prefix out/r_ DIR --verbose", 1,
     "tarvel-batch: 0 result files written into ROOT/work/out, 0 of them empty\n",
     "tarvel-batch: a.txt: cannot write out/r_a.txt: ", {}},
    {"dry run by value", nullptr, "--dry-run --by-value --low 12 --high 45 --prefix new_ DIR", 0,
     "a.txt: 3 lines, 2 to 4\nc.asc: 2 lines, 2 to 3\nb.dat: 2 lines, 2 to 3\n", "", {}},
    {"dry run, lines that some files lack, verbose", nullptr, "--dry-run --verbose --from 4 --prefix new_ DIR", 0,
     "a.txt: 1 line, 4 to 4\nc.asc: no line\nb.dat: no line\ntarvel-batch: 3 files would give 1 line in all, "
     "2 of them none\n", "", {}},
    {"dry run, empty prefix in the folder", nullptr, "--dry-run --from 2", 2, "", OnA, {}},
    {"missing folder", nullptr, "DIR/nowhere", 2, "", "tarvel-batch: ROOT/数据/nowhere: NO_PATH\n", {}},
    {"folder is a file", nullptr, "DIR/a.txt", 2, "", Usage, {}},
    {"both modes", nullptr, "--by-lines --by-value DIR", 2, "", Usage, {}},
    {"two folders", nullptr, "DIR DIR", 2, "", Usage, {}},
    {"unknown option", nullptr, "--frm 2 DIR", 2, "", Usage, {}},
    {"--to that is no number", nullptr, "--to abc DIR", 2, "", "tarvel-batch: --to: 'abc' is not a number\n", {}},
    {"--from twice, first no number", nullptr, "--from abc --from 3 DIR", 2, "", "tarvel-batch: --from: 'abc' ", {}},
    {"--from past 64 bits", nullptr, "--from 9223372036854775808 DIR", 2, "", "tarvel-batch: --from: ", {}},
    {"--high past a double", nullptr, "--by-value --high 1e400 DIR", 2, "", "tarvel-batch: --high: ", {}},
    {"help wins over options that rewrite", nullptr, "--help-all --from 2 --in-place", 0, "Usage: ", "", {}},
    {"version wins over a wrong option", nullptr, "--in-place --frm 2 --version", 0,
     "tarvel-batch " TARVEL_VERSION "\n", "", {}},
    {"empty prefix in the folder", nullptr, "--from 2", 2, "", OnA, {}},
    {"empty prefix in the folder, in place", nullptr, "--from 2 --in-place", 0, "", "", InPlace},
    {"prefix back into the folder", nullptr, "--from 2 --prefix DIR/ DIR", 2, "", OnA, {}},
    {"prefix back, in place", nullptr, "--from 2 --prefix DIR/ --in-place DIR", 0, "", "", InPlace},
    // Writing through a link to a source would empty it before it is read.
    {"result hard-linked to its source", hardLinkToOwnSource, "--from 2 DIR", 2, "", OnA, {}},
    {"result hard-linked to another source", hardLinkToB, "--from 2 --prefix r_ DIR", 2, "", ReplacesB, {}},
    {"result of a.txt is the source x_a.txt", resultOfAIsASource, "--prefix x_", 2, "",
     "tarvel-batch: a.txt: its result x_a.txt would replace the source x_a.txt;", {}},
    {"result of a.txt is the source x_a.txt, in place", resultOfAIsASource, "--prefix x_ --in-place", 2, "",
     "tarvel-batch: a.txt: its result x_a.txt would replace the source x_a.txt; give another --prefix or run "
     "elsewhere\n", {}},
    {"result of a.txt is x_a.txt, a second name of it, in place", resultOfAIsALinkedSource, "--prefix x_ --in-place", 2,
     "", "tarvel-batch: a.txt: its result x_a.txt would replace the source x_a.txt;", {}},
    {"earlier result read-only", readOnlyEarlier, "--from 2 --prefix r_ DIR", 1, "",
     "tarvel-batch: a.txt: cannot write r_a.txt: DENIED", {u"work/r_b.dat"_s, u"work/r_c.asc"_s}},
#ifdef Q_OS_UNIX
    {"verbose, the folder cleaned", nullptr,
     "--verbose --from 2 --prefix ../../../../../../../../../../../../../../../../../../../../../..DIR/./../work/new_ DIR", 0,
     WrittenIntoWork, "", New},
    {"SIGTERM mid-file", largeSource, "--by-value --low 12 --high 45 --prefix r_ DIR", SIGTERM, "", "",
     {u"work/r_a.txt"_s}, true},
    {"result links to a source", linkToB, "--from 2 --prefix r_ DIR", 2, "", ReplacesB, {}},
    {"a folder of the prefix is a link", folderLink, "--from 2 --prefix out/r_ DIR", 0, "", "",
     {u"work/real/r_a.txt"_s, u"work/real/r_b.dat"_s, u"work/real/r_c.asc"_s}},
    // Each result is on disk before it takes its source's name, and the file
    // system is synced after the last rename, so that a run's end means its
    // results are on disk.
    {"in place, durable", nullptr, "--in-place --from 2", 0, "", "", InPlace, false,
     "fsync rename fsync rename fsync rename syncfs"},
    {"read-only working folder, writable earlier result", readOnlyWork, "--from 2 --prefix r_ DIR", 1, "",
     "tarvel-batch: a.txt: cannot write r_a.txt: DENIED", {}},
#endif
#ifdef Q_OS_WIN
    {"prefix out\\ puts results in that folder", outFolder, "--from 2 --prefix out\\ DIR", 0, "", "",
     {u"work/out/a.txt"_s, u"work/out/b.dat"_s, u"work/out/c.asc"_s}},
    {"prefix back into the folder, in upper case", nullptr, "--from 2 --prefix UPPER\\ DIR", 2, "", OnA, {}},
    {"earlier result held open", heldOpen, "--from 2 --prefix r_ DIR", 1, "",
     "tarvel-batch: a.txt: cannot write r_a.txt: ", {u"work/r_b.dat"_s, u"work/r_c.asc"_s}},
#endif
};

#ifdef Q_OS_UNIX
// tarvel-batch copied where every user can run it: the build folder may lie
// where only its owner can reach, as a checkout in /root does.
QString programForEveryone()
{
    static QTemporaryDir folder;
    const QString program = folder.filePath(u"tarvel-batch"_s);
    const bool copied = QFileInfo::exists(program)
        || (QFile::copy(QStringLiteral(TARVEL_BATCH_EXE), program) && QFile::setPermissions(folder.path(), Everyone)
            && QFile::setPermissions(program, Everyone));
    if (!copied)
        qFatal("cannot copy tarvel-batch into %s", qPrintable(folder.path()));
    return program;
}
#endif

// Runs tarvel-batch in `work`, as the folder's owner: nobody, where a set-up
// gave it to them; else under `tracer`, if any.
void start(QProcess &tool, const QString &work, const QStringList &arguments, const QStringList &tracer = {})
{
    tool.setWorkingDirectory(work);
#ifdef Q_OS_UNIX
    if (QFileInfo(work).ownerId() != ::geteuid())
        return tool.start(u"runuser"_s,
                          QStringList{u"-u"_s, QFileInfo(work).owner(), u"--"_s, programForEveryone()} + arguments);
#endif
    const QStringList command = tracer + QStringList{QStringLiteral(TARVEL_BATCH_EXE)} + arguments;
    tool.start(command.first(), command.mid(1));
}

// The syncs and renames in an strace log, renameat and renameat2 as rename.
QString syncsAndRenames(const QString &log)
{
    static const QRegularExpression call(u"^\\d+ +(rename|\\w+)\\w*\\("_s, QRegularExpression::MultilineOption);
    QStringList calls;
    for (const QRegularExpressionMatch &found : call.globalMatch(QString::fromUtf8(readFile(log))))
        calls.append(found.captured(1));
    return calls.join(u' ');
}

// The system's reasons, by the words that stand for them in the rows: on
// Windows its own, as Wine gives them on Chinese Windows, never English
// ones of the tool's.
const std::pair<QString, QString> SystemReasons[] = {
#ifdef Q_OS_WIN
    {u"DENIED"_s, u"访问被拒绝。"_s}, {u"NO_PATH"_s, u"找不到路径。"_s},
#else
    {u"DENIED"_s, u"Permission denied"_s}, {u"NO_PATH"_s, u"No such file or directory"_s},
#endif
};

// Empty when what the tool said begins with `expected`, ROOT standing for
// `root` and the words above for their reasons (nothing said, for an empty
// one); else what it said.
QString mismatch(const QByteArray &said, const char *expected, const QString &root)
{
    // CR LF on Windows; a path as given may mix its separators there.
    const QString text = QDir::toNativeSeparators(QString::fromLocal8Bit(said).remove(u'\r'));
    QString start = QString::fromUtf8(expected).replace(u"ROOT"_s, root);
    for (const auto &[words, reason] : SystemReasons)
        start.replace(words, reason);
    return (start.isEmpty() ? text.isEmpty() : text.startsWith(QDir::toNativeSeparators(start))) ? QString() : text + u'|';
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data() { addTableRows(Runs); }

    void run()
    {
        QFETCH(const Run *, row);
        const Run &run = *row;
        QTemporaryDir root;
        const QString folder = root.filePath(u"数据"_s), work = root.filePath(u"work"_s);
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(work));
        const auto writable = qScopeGuard([&] { QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        for (auto it = Sources.begin(); it != Sources.end(); ++it)
            QVERIFY(writeFile(folder + u'/' + it.key(), it.value()));
        if (run.setUp)
            run.setUp(folder, work);
        if (QTest::currentTestFailed())
            return;
        Contents expected = folderContents(root.path());
        for (const QString &path : run.written)
            expected.insert(path, FromLineTwo.value(path.section(u'/', -1).section(u'_', -1)));

        const QString dir = QDir::toNativeSeparators(folder), arguments = QString::fromUtf8(run.arguments);
        QTemporaryDir logs; // beside the folders compared
        const QString strace = QStandardPaths::findExecutable(u"strace"_s), log = logs.filePath(u"strace"_s);
        if (run.syncsAndRenames && strace.isEmpty())
            QSKIP("strace is not installed: the order of syncs and renames is not checked");
        const QStringList tracer = run.syncsAndRenames ? QStringList{strace, u"-f"_s, u"-o"_s, log, u"-e"_s,
                                   u"trace=fsync,fdatasync,syncfs,sync,rename,renameat,renameat2"_s} : QStringList();
        QProcess tool;
        start(tool, arguments.contains(u"DIR"_s) ? work : folder,
              QString(arguments).replace(u"UPPER"_s, dir.toUpper()).split(u' ').replaceInStrings(u"DIR"_s, dir), tracer);
        if (run.interrupted) {
            // a.txt's result is in place before large.txt's temporary file is made.
            QVERIFY(QTest::qWaitFor([&] {
                return QFile::exists(work + u"/r_a.txt"_s)
                    && !QDir(work).entryList({u".tarvel-*"_s}, QDir::Hidden | QDir::Files).isEmpty();
            }, 60000));
            tool.terminate();
        }
        QVERIFY(tool.waitForFinished(-1));
        const QByteArray error = tool.readAllStandardError();
        if (run.syncsAndRenames && error.contains("ptrace"))
            QSKIP("strace may not trace here");

        QCOMPARE(tool.exitStatus(), run.interrupted ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), run.exitCode);
        QCOMPARE(mismatch(tool.readAllStandardOutput(), run.output, root.path()), QString());
        QCOMPARE(mismatch(error, run.error, root.path()), QString());
        QCOMPARE(folderContents(root.path()), expected);
        QCOMPARE(run.syncsAndRenames ? syncsAndRenames(log) : QString(), QString::fromLatin1(run.syncsAndRenames));
    }

#ifdef Q_OS_WIN
    void cleanup()
    {
        if (held != INVALID_HANDLE_VALUE)
            ::CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
    }
#endif

#ifdef Q_OS_UNIX
    // Names as bytes, which POSIX file systems hold and Windows ones do not:
    // one with a newline, one in GBK, and "��.txt", which Qt also makes of
    // the GBK one. Each fails, on a line of its own, the first two quoted.
    // The GBK file is not read through the other's name.
    void namesNotInUtf8()
    {
        QTemporaryDir root;
        const std::filesystem::path folder = QFile::encodeName(root.filePath(u"src"_s)).toStdString();
        QVERIFY(std::filesystem::create_directory(folder));
        const auto removeRawNames = qScopeGuard([&] { std::filesystem::remove_all(folder); });
        for (const char *name : {"a\nb.txt", "\xb2\xe2.txt", "\xef\xbf\xbd\xef\xbf\xbd.txt"})
            QVERIFY(std::ofstream(folder / name, std::ios::binary) << "1 x\r\n");

        QProcess tool;
        start(tool, root.path(), {u"--prefix"_s, u"nowhere/"_s, QString::fromStdString(folder)});
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitCode(), 1);
        const QList<QByteArray> lines = tool.readAllStandardError().split('\n');
        QCOMPARE(lines.size(), 4); // the last is empty
        QCOMPARE(lines[0], "tarvel-batch: 'a\\nb.txt': cannot write 'nowhere/a\\nb.txt': No such file or directory");
        QVERIFY2(lines[1].startsWith("tarvel-batch: '\\xb2\\xe2.txt': cannot read it: "), lines[1]);
        QCOMPARE(lines[2], "tarvel-batch: \xef\xbf\xbd\xef\xbf\xbd.txt: cannot write nowhere/\xef\xbf\xbd\xef\xbf\xbd.txt: "
                           "No such file or directory");

        // A folder named in GBK is refused, not taken for the folder "��" beside it.
        for (const char *name : {"\xb2\xe2", "\xef\xbf\xbd\xef\xbf\xbd"})
            QVERIFY(std::filesystem::create_directory(folder / name) && std::ofstream(folder / name / "a.txt") << "1\r\n");
        tool.start(u"sh"_s, {u"-c"_s, u"exec \"$0\" --prefix r_ src/\"$(printf '\\262\\342')\""_s, QStringLiteral(TARVEL_BATCH_EXE)});
        QVERIFY(tool.waitForFinished(-1));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(tool.readAllStandardError().startsWith("tarvel-batch: 'src/\\xb2\\xe2': the name is not valid UTF-8"));
        QVERIFY(!QFile::exists(root.filePath(u"r_a.txt"_s)));
    }
#endif

};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
