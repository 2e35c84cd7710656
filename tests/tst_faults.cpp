// Faults from outside the run: sources that change or break after the scan,
// results that cannot be written, a full disk, names that are not UTF-8.
// Each must be reported by name while every other file is done and nothing
// that was on disk before is lost.

#include "batchfixture.h"
#include "batchrun.h"
#include "folderstate.h"
#include "tmpfsmount.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QByteArray Earlier = "earlier result\r\n";

// The three listed files a.txt, b.txt and c.txt and their results r_NAME,
// with an earlier result of b.txt already in place.
struct ThreeFiles
{
    QTemporaryDir root;
    QString sources = root.filePath(QStringLiteral("src"));
    QString results = root.filePath(QStringLiteral("out"));
    FolderState folder;

    bool make()
    {
        folder.FolderPath = sources;
        if (!QDir().mkpath(sources) || !QDir().mkpath(results))
            return false;
        for (const char *name : {"a", "b", "c"}) {
            if (!writeFile(source(QLatin1String(name) + QLatin1String(".txt")),
                           QByteArray("1 ") + name + "\r\n2 " + name + "\r\n"))
                return false;
        }
        ScanFolder(folder);
        return folder.FileCount() == 3 && writeFile(result(QStringLiteral("b.txt")), Earlier);
    }
    QString source(const QString &name) const { return sources + QLatin1Char('/') + name; }
    QString result(const QString &name) const { return results + QStringLiteral("/r_") + name; }

    BatchReport run() const
    {
        BatchSettings settings;
        settings.SavePrefix = results + QStringLiteral("/r_");
        return RunBatch(settings, folder.FolderPath, folder.FileNames);
    }
};

// What a source turns into between the scan and the run.
enum class Change { Removed, Folder, Fifo, DanglingLink, UnreadableLink };

bool apply(Change change, const QString &path)
{
    if (!QFile::remove(path))
        return false;
    switch (change) {
    case Change::Removed:
        return true;
    case Change::Folder:
        return QDir().mkdir(path);
    case Change::Fifo:
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Change::DanglingLink:
        return QFile::link(path + QStringLiteral(".gone"), path);
    case Change::UnreadableLink:
        // A regular file that opens but fails on the first read (EIO): the
        // process's own memory at address 0, which is never mapped.
        return QFile::link(QStringLiteral("/proc/self/mem"), path);
    }
    return false;
}

qint64 freeBytes(const QString &path)
{
    struct statvfs info;
    if (::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

QByteArray linesOfSize(qint64 size)
{
    const QByteArray line = "12.345 6.78 9.01\r\n";
    return line.repeated(size / line.size() + 1);
}

// Files under names given as raw bytes, which QFile cannot make, nor
// QTemporaryDir remove, when they are not UTF-8. Removed with this object.
class RawNamedFiles
{
public:
    ~RawNamedFiles()
    {
        for (const QByteArray &path : m_paths)
            ::unlink(path.constData());
    }

    bool write(const QString &folder, const QByteArray &name, const QByteArray &bytes)
    {
        const QByteArray path = QFile::encodeName(folder) + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return false;
        m_paths.append(path);
        const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        return ::close(fd) == 0 && written;
    }

private:
    QByteArrayList m_paths;
};

QByteArray readRawName(const QString &folder, const QByteArray &name)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return {};
    QByteArray bytes(4096, Qt::Uninitialized);
    const ssize_t got = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    return got < 0 ? QByteArray() : bytes.left(got);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourceChangesAfterScan_data();
    void sourceChangesAfterScan();
    void resultCannotBeWritten_data();
    void resultCannotBeWritten();
    void fullDisk_data();
    void fullDisk();
    void inPlaceOnFullDisk_data();
    void inPlaceOnFullDisk();
    void namesNotInUtf8_data();
    void namesNotInUtf8();
    void namesNotInUtf8ThroughTool();
};

void TestFaults::sourceChangesAfterScan_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("removed") << Change::Removed;
    QTest::newRow("replaced by a folder") << Change::Folder;
    QTest::newRow("replaced by a FIFO, which must not hang the run") << Change::Fifo;
    QTest::newRow("replaced by a dangling link") << Change::DanglingLink;
    QTest::newRow("opens but fails to read") << Change::UnreadableLink;
}

// b.txt breaks after the scan: it is reported, its earlier result stays,
// and a.txt and c.txt are done.
void TestFaults::sourceChangesAfterScan()
{
    QFETCH(Change, change);
    ThreeFiles files;
    QVERIFY(files.make());
    QVERIFY(apply(change, files.source(QStringLiteral("b.txt"))));

    const BatchReport report = files.run();

    QCOMPARE(report.Done, 2);
    QCOMPARE(report.Failures.size(), 1);
    const BatchFailure &failure = report.Failures.first();
    QCOMPARE(failure.FileName, QStringLiteral("b.txt"));
    QCOMPARE(failure.FailedSide, BatchFailure::Side::Source);
    QCOMPARE(failure.Path, files.source(QStringLiteral("b.txt")));
    QVERIFY(!failure.Reason.isEmpty());
    QCOMPARE(readFile(files.result(QStringLiteral("b.txt"))), Earlier);
    QCOMPARE(readFile(files.result(QStringLiteral("a.txt"))), QByteArray("1 a\r\n2 a\r\n"));
    QCOMPARE(readFile(files.result(QStringLiteral("c.txt"))), QByteArray("1 c\r\n2 c\r\n"));
    QCOMPARE(entriesOf(files.results),
             QStringList({QStringLiteral("r_a.txt"), QStringLiteral("r_b.txt"), QStringLiteral("r_c.txt")}));
}

void TestFaults::resultCannotBeWritten_data()
{
    QTest::addColumn<QString>("prefix"); // relative to the results folder
    QTest::addColumn<QString>("blocker"); // what stands in the way there
    QTest::addColumn<bool>("blockerIsFolder");
    QTest::addColumn<QStringList>("failing");

    const QStringList all{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    QTest::newRow("prefix through a regular file")
        << QStringLiteral("a.txt/") << QStringLiteral("a.txt") << false << all;
    QTest::newRow("result name is a folder")
        << QStringLiteral("r_") << QStringLiteral("r_b.txt") << true << QStringList{QStringLiteral("b.txt")};
    QTest::newRow("prefix through a missing folder")
        << QStringLiteral("missing/") << QString() << false << all;
}

void TestFaults::resultCannotBeWritten()
{
    QFETCH(QString, prefix);
    QFETCH(QString, blocker);
    QFETCH(bool, blockerIsFolder);
    QFETCH(QStringList, failing);

    QTemporaryDir root;
    const QString sources = root.filePath(QStringLiteral("src"));
    const QString results = root.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(sources) && QDir().mkpath(results));
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        QVERIFY(writeFile(sources + QLatin1Char('/') + QLatin1String(name), "1 x\r\n"));
    const QString blockerPath = results + QLatin1Char('/') + blocker;
    const QString insideBlocker = blockerPath + QStringLiteral("/keep.txt");
    if (blockerIsFolder)
        QVERIFY(QDir().mkdir(blockerPath) && writeFile(insideBlocker, Earlier));
    else if (!blocker.isEmpty())
        QVERIFY(writeFile(blockerPath, Earlier));
    const QStringList before = entriesOf(results);
    FolderState folder{sources, {}};
    ScanFolder(folder);

    BatchSettings settings;
    settings.SavePrefix = results + QLatin1Char('/') + prefix;
    const BatchReport report = RunBatch(settings, folder.FolderPath, folder.FileNames);

    QCOMPARE(report.Done, 3 - failing.size());
    QStringList failed;
    for (const BatchFailure &failure : report.Failures) {
        QCOMPARE(failure.FailedSide, BatchFailure::Side::Result);
        QCOMPARE(failure.Path, settings.SavePrefix + failure.FileName);
        QVERIFY(!failure.Reason.isEmpty());
        failed.append(failure.FileName);
    }
    QCOMPARE(failed, failing);
    if (!blocker.isEmpty())
        QCOMPARE(readFile(blockerIsFolder ? insideBlocker : blockerPath), Earlier);
    QStringList expected = before;
    for (const QString &name : folder.FileNames) {
        if (!failing.contains(name))
            expected.append(prefix + name);
    }
    expected.sort();
    QCOMPARE(entriesOf(results), expected); // no temporary file left
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        QCOMPARE(readFile(sources + QLatin1Char('/') + QLatin1String(name)), QByteArray("1 x\r\n"));
}

void TestFaults::fullDisk_data()
{
    QTest::addColumn<QByteArray>("mountOptions");
    QTest::addColumn<qint64>("resultSize");
    QTest::addColumn<qint64>("leftFree"); // room left on the disk before the run; -1: all
    QTest::addColumn<bool>("smallFits");

    QTest::newRow("result larger than the disk, fails while writing")
        << QByteArray("size=1m") << qint64(3 << 20) << qint64(-1) << true;
    QTest::newRow("result fits the write buffer, fails on commit")
        << QByteArray("size=1m") << qint64(200 << 10) << qint64(64 << 10) << true;
    // One inode for the root, one for the earlier result: none for anything new.
    QTest::newRow("no inode left for the temporary file")
        << QByteArray("size=1m,nr_inodes=2") << qint64(1 << 10) << qint64(-1) << false;
}

// big.txt cannot be written: the earlier result of that name stays byte for
// byte, no temporary file is left, and small.txt after it is still done
// where it fits.
void TestFaults::fullDisk()
{
    QFETCH(QByteArray, mountOptions);
    QFETCH(qint64, resultSize);
    QFETCH(qint64, leftFree);
    QFETCH(bool, smallFits);

    QTemporaryDir root;
    const QString sources = root.filePath(QStringLiteral("src"));
    const QString disk = root.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(sources) && QDir().mkpath(disk));
    const TmpfsMount mounted(disk, mountOptions.constData());
    if (!mounted.whyNot().isEmpty())
        QSKIP(qPrintable(mounted.whyNot()));

    const QByteArray big = linesOfSize(resultSize);
    const QByteArray earlier = linesOfSize(16 << 10);
    QVERIFY(writeFile(sources + QStringLiteral("/big.txt"), big));
    QVERIFY(writeFile(sources + QStringLiteral("/small.txt"), "1 small\r\n"));
    QVERIFY(writeFile(disk + QStringLiteral("/r_big.txt"), earlier));
    if (leftFree >= 0) {
        const qint64 filler = freeBytes(disk) - leftFree;
        QVERIFY(filler > 0);
        QVERIFY(writeFile(disk + QStringLiteral("/filler"), QByteArray(filler, 'f')));
        QVERIFY(freeBytes(disk) < resultSize);
    }
    const QStringList before = entriesOf(disk);
    FolderState folder{sources, {}};
    ScanFolder(folder);
    QCOMPARE(folder.FileNames, QStringList({QStringLiteral("big.txt"), QStringLiteral("small.txt")}));

    BatchSettings settings;
    settings.SavePrefix = disk + QStringLiteral("/r_");
    const BatchReport report = RunBatch(settings, folder.FolderPath, folder.FileNames);

    QCOMPARE(report.Done, smallFits ? 1 : 0);
    QCOMPARE(report.Failures.size(), smallFits ? 1 : 2);
    const BatchFailure &failure = report.Failures.first();
    QCOMPARE(failure.FileName, QStringLiteral("big.txt"));
    QCOMPARE(failure.FailedSide, BatchFailure::Side::Result);
    QCOMPARE(failure.Path, disk + QStringLiteral("/r_big.txt"));
    QVERIFY(!failure.Reason.isEmpty());
    QCOMPARE(readFile(disk + QStringLiteral("/r_big.txt")), earlier);
    QCOMPARE(readFile(sources + QStringLiteral("/big.txt")), big);

    QStringList after = entriesOf(disk);
    QCOMPARE(after.removeAll(QStringLiteral("r_small.txt")), smallFits ? 1 : 0);
    QCOMPARE(after, before); // no temporary file left
    if (smallFits)
        QCOMPARE(readFile(disk + QStringLiteral("/r_small.txt")), QByteArray("1 small\r\n"));
}

void TestFaults::inPlaceOnFullDisk_data()
{
    QTest::addColumn<QByteArray>("mountOptions");
    QTest::newRow("no room for the new copy") << QByteArray("size=1m");
    QTest::newRow("no inode for the new copy") << QByteArray("size=1m,nr_inodes=2");
}

// A result that is to replace its own source, the only copy, on a disk
// without room for both: the source stays as it was.
void TestFaults::inPlaceOnFullDisk()
{
    QFETCH(QByteArray, mountOptions);

    QTemporaryDir root;
    const TmpfsMount mounted(root.path(), mountOptions.constData());
    if (!mounted.whyNot().isEmpty())
        QSKIP(qPrintable(mounted.whyNot()));
    const QString source = root.filePath(QStringLiteral("data.txt"));
    QByteArray only = linesOfSize(600 << 10);
    only.replace("\r\n", "\r"); // so that the new copy would differ
    QVERIFY(writeFile(source, only));

    BatchSettings settings;
    settings.SavePrefix = root.path() + QLatin1Char('/');
    const BatchReport report = RunBatch(settings, root.path(), {QStringLiteral("data.txt")});

    QCOMPARE(report.Done, 0);
    QCOMPARE(report.Failures.size(), 1);
    QCOMPARE(report.Failures.first().FileName, QStringLiteral("data.txt"));
    QCOMPARE(report.Failures.first().FailedSide, BatchFailure::Side::Result);
    QCOMPARE(readFile(source), only);
    QCOMPARE(entriesOf(root.path()), QStringList{QStringLiteral("data.txt")});
}

void TestFaults::namesNotInUtf8_data()
{
    QTest::addColumn<QByteArrayList>("rawNames");
    // 测.txt and 温度.dat in GBK; names unpacked from a Windows archive look so.
    QTest::newRow("GBK names") << QByteArrayList{"\xb2\xe2.txt", "\xce\xc2\xb6\xc8.dat"};
    QTest::newRow("a lone byte 0xFF") << QByteArrayList{"x\xff.asc"};
    // Qt would encode the listed name of \xb2\xe2.txt as this UTF-8 name
    // (two U+FFFD); a run must not read or write it in the other's place.
    QTest::newRow("beside a name of two U+FFFD")
        << QByteArrayList{"\xb2\xe2.txt", "\xef\xbf\xbd\xef\xbf\xbd.txt"};
}

// A name that is not UTF-8 is listed and reported by name, never dropped
// unnoticed and never confused with another file.
void TestFaults::namesNotInUtf8()
{
    QFETCH(QByteArrayList, rawNames);

    QTemporaryDir root;
    const QString sources = root.filePath(QStringLiteral("src"));
    const QString results = root.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(sources) && QDir().mkpath(results));
    QVERIFY(writeFile(sources + QStringLiteral("/ok.txt"), "1 ok\r\n"));
    RawNamedFiles rawFiles;
    for (const QByteArray &name : rawNames)
        QVERIFY(rawFiles.write(sources, name, "1 " + name + "\r\n"));
    FolderState folder{sources, {}};
    ScanFolder(folder);
    QCOMPARE(folder.FileCount(), rawNames.size() + 1);

    BatchSettings settings;
    settings.SavePrefix = results + QStringLiteral("/r_");
    const BatchReport report = RunBatch(settings, folder.FolderPath, folder.FileNames);

    QStringList expectedResults{QStringLiteral("r_ok.txt")};
    qsizetype notUtf8 = 0;
    for (const QByteArray &name : rawNames) {
        const QString decoded = QString::fromUtf8(name);
        if (decoded.toUtf8() == name) {
            expectedResults.append(QStringLiteral("r_") + decoded);
            QCOMPARE(readFile(results + QStringLiteral("/r_") + decoded), "1 " + name + "\r\n");
        } else {
            ++notUtf8;
        }
        QCOMPARE(readRawName(sources, name), "1 " + name + "\r\n");
    }
    QCOMPARE(report.Done, folder.FileCount() - notUtf8);
    QCOMPARE(report.Failures.size(), notUtf8);
    for (const BatchFailure &failure : report.Failures) {
        QVERIFY(folder.FileNames.contains(failure.FileName));
        QVERIFY(!failure.FileName.isValidUtf16()); // the listed, escaped name
        QCOMPARE(failure.FailedSide, BatchFailure::Side::Source);
        QVERIFY(!failure.Reason.isEmpty());
    }
    expectedResults.sort();
    QCOMPARE(entriesOf(results), expectedResults);
}

// The command-line tool does the rest and names each such file on stderr.
void TestFaults::namesNotInUtf8ThroughTool()
{
    QTemporaryDir sources;
    QTemporaryDir results;
    QVERIFY(writeFile(sources.filePath(QStringLiteral("ok.txt")), "1 ok\r\n"));
    RawNamedFiles rawFiles;
    QVERIFY(rawFiles.write(sources.path(), "\xb2\xe2.txt", "1 a\r\n"));
    QVERIFY(rawFiles.write(sources.path(), "\xce\xc2\xb6\xc8.dat", "1 b\r\n"));

    QProcess tool;
    tool.setWorkingDirectory(results.path());
    tool.start(QStringLiteral(TARVEL_BATCH_EXE), {QStringLiteral("--prefix"), QStringLiteral("r_"), sources.path()});
    QVERIFY(tool.waitForFinished(-1));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 1);
    const QByteArrayList messages = tool.readAllStandardError().trimmed().split('\n');
    QCOMPARE(messages.size(), 2);
    for (const QByteArray &message : messages)
        QVERIFY2(message.startsWith("tarvel-batch: ") && message.contains(".txt: ") != message.contains(".dat: "),
                 message.constData());
    QCOMPARE(entriesOf(results.path()), QStringList{QStringLiteral("r_ok.txt")});
    QCOMPARE(readFile(results.filePath(QStringLiteral("r_ok.txt"))), QByteArray("1 ok\r\n"));
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
