// SPDX-License-Identifier: GPL-3.0-or-later
// What differs on Windows: file attributes, backslashes, file identity,
// results that another program holds open or that are read-only, and
// tarvel-batch's output in the ANSI code page.

#include "fixture.h"
#include "folderstate.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

namespace {

const wchar_t *native(const QString &path)
{
    static QString held; // alive until the next call
    held = QDir::toNativeSeparators(path);
    return reinterpret_cast<const wchar_t *>(held.utf16());
}

bool setAttributes(const QString &path, DWORD attributes) { return ::SetFileAttributesW(native(path), attributes); }

const QString Folder = u"\u6570\u636e"_s; // 数据
const QString Sample = u"\u6837\u54c1.txt"_s; // 样品.txt
const QByteArray Source = "1 a\r\n2 b\r\n3 c\r\n", FromTwo = "2 b\r\n3 c\r\n";

// tarvel-batch run in `work` on its folder 数据 holding 样品.txt; each run
// must leave the source as it was and no temporary file.
struct Run
{
    const char *name, *setup, *arguments;
    int exitCode;
    QString error; // what standard error holds after "tarvel-batch: "; empty: nothing
    Contents written; // results in `work` besides the source folder
};

const QString CannotWrite = Sample + u": cannot write r_"_s + Sample + u": "_s;
const Run Runs[] = {
    {"prefix out\\ puts results in that folder", "out folder", "--from 2 --prefix out\\ DIR", 0, {},
     {{u"out/"_s + Sample, FromTwo}}},
    {"prefix back into the folder, spelt in upper case", "", "--from 2 --prefix UPPER\\ DIR", 2,
     Sample + u": its result "_s, {}},
    {"earlier result read-only", "read-only", "--from 2 --prefix r_ DIR", 1, CannotWrite + u"Permission denied"_s,
     {{u"r_"_s + Sample, "earlier\r\n"}}},
    {"earlier result held open", "held open", "--from 2 --prefix r_ DIR", 1, CannotWrite,
     {{u"r_"_s + Sample, "earlier\r\n"}}},
    {"earlier result replaced", "earlier", "--from 2 --prefix r_ DIR", 0, {}, {{u"r_"_s + Sample, FromTwo}}},
};

void startBatch(QProcess &tool, const QString &work, const QStringList &arguments)
{
    tool.setWorkingDirectory(work);
    tool.start(QStringLiteral(TARVEL_BATCH_EXE), arguments);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Files Windows marks hidden or system are not listed; the folder's
    // Chinese name is no obstacle.
    void hiddenAndSystemFilesNotListed()
    {
        QTemporaryDir root;
        const QString folder = root.filePath(Folder);
        QVERIFY(QDir(root.path()).mkdir(Folder));
        const QList<QPair<QString, DWORD>> files{{Sample, FILE_ATTRIBUTE_NORMAL},
                                                 {u"hidden.txt"_s, FILE_ATTRIBUTE_HIDDEN},
                                                 {u"system.dat"_s, FILE_ATTRIBUTE_SYSTEM},
                                                 {u"both.asc"_s, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
                                                 {u"read-only.asc"_s, FILE_ATTRIBUTE_READONLY}};
        for (const auto &[name, attributes] : files) {
            QVERIFY(writeFile(QDir(folder).filePath(name), Source));
            QVERIFY(setAttributes(QDir(folder).filePath(name), attributes));
        }
        FolderState state{QDir::toNativeSeparators(folder), {}};
        ScanFolder(state);
        QCOMPARE(state.FileNames, QStringList({Sample, u"read-only.asc"_s}));
    }

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
        QTemporaryDir work;
        const QString folder = work.filePath(Folder), result = work.filePath(u"r_"_s + Sample);
        QVERIFY(QDir(work.path()).mkdir(Folder));
        QVERIFY(writeFile(QDir(folder).filePath(Sample), Source));
        const QString setup = QString::fromUtf8(run.setup);
        if (setup == u"out folder"_s)
            QVERIFY(QDir(work.path()).mkdir(u"out"_s));
        if (setup == u"read-only"_s || setup == u"held open"_s || setup == u"earlier"_s)
            QVERIFY(writeFile(result, "earlier\r\n"));
        if (setup == u"read-only"_s)
            QVERIFY(setAttributes(result, FILE_ATTRIBUTE_READONLY));
        // Open as an editor holds a file: shared for reading only.
        HANDLE held = INVALID_HANDLE_VALUE;
        if (setup == u"held open"_s)
            held = ::CreateFileW(native(result), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        const auto close = qScopeGuard([&] {
            if (held != INVALID_HANDLE_VALUE)
                ::CloseHandle(held);
        });
        QVERIFY(setup != u"held open"_s || held != INVALID_HANDLE_VALUE);

        QStringList arguments = QString::fromUtf8(run.arguments).split(u' ');
        for (QString &argument : arguments) {
            if (argument == u"DIR"_s)
                argument = QDir::toNativeSeparators(folder);
            if (argument == u"UPPER\\"_s)
                argument = QDir::toNativeSeparators(folder).toUpper() + u'\\';
        }
        QProcess tool;
        startBatch(tool, work.path(), arguments);
        QVERIFY(tool.waitForFinished(-1));

        QCOMPARE(tool.exitCode(), run.exitCode);
        const QString error = QString::fromLocal8Bit(tool.readAllStandardError());
        QVERIFY2(run.error.isEmpty() ? error.isEmpty() : error.startsWith(u"tarvel-batch: "_s + run.error),
                 qPrintable(error));
        Contents expected = run.written;
        expected.insert(Folder, "<folder>");
        expected.insert(Folder + u'/' + Sample, Source);
        if (setup == u"out folder"_s)
            expected.insert(u"out"_s, "<folder>");
        QCOMPARE(folderContents(work.path()), expected);
    }

    // Help and version reach a pipe, and messages come in the ANSI code page
    // that programs on this system read pipes in.
    void outputThroughPipes()
    {
        QTemporaryDir work;
        QProcess help, version, failing;
        startBatch(help, work.path(), {u"--help"_s});
        startBatch(version, work.path(), {u"--version"_s});
        const QString missing = QDir::toNativeSeparators(work.filePath(Folder));
        startBatch(failing, work.path(), {missing});
        for (QProcess *tool : {&help, &version, &failing})
            QVERIFY(tool->waitForFinished(-1));

        QCOMPARE(help.exitCode(), 0);
        QVERIFY(help.readAllStandardOutput().contains("--prefix <TEXT>"));
        QCOMPARE(version.readAllStandardOutput(), "tarvel-batch " TARVEL_VERSION "\r\n");
        QCOMPARE(failing.exitCode(), 2);
        QVERIFY(failing.readAllStandardError().startsWith((u"tarvel-batch: "_s + missing + u':').toLocal8Bit()));
    }
};

QTEST_GUILESS_MAIN(TestWindows)
#include "tst_windows.moc"
