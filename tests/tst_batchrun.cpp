#include "batchrun.h"

#include "foldercontents.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

Q_DECLARE_METATYPE(BatchSettings)

using namespace Qt::StringLiterals;

namespace {

const QByteArray Example("10 x\r\n20 y\r\n30 z\r\n40 w\r\n");

// A file's lines split at CR LF; none for a file with another terminator.
QByteArrayList crLfLines(const QByteArray &bytes)
{
    if (bytes.count('\r') != bytes.count("\r\n"))
        return {};
    QByteArrayList lines = bytes.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return lines;
}

QByteArray asResult(const QByteArrayList &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The lines whose text before `delimiter` is a number in [low, high].
QByteArrayList linesWithFirstFieldIn(const QByteArrayList &lines, char delimiter, double low,
                                     double high)
{
    QByteArrayList kept;
    for (const QByteArray &line : lines) {
        bool isNumber = false;
        const double value = line.left(line.indexOf(delimiter)).toDouble(&isNumber);
        if (isNumber && value >= low && value <= high)
            kept.append(line);
    }
    return kept;
}

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void results_data();
    void results();
    void failures_data();
    void failures();
    void observerStopsTheRun_data();
    void observerStopsTheRun();
    void inPlaceReplacesSourcesAfterReadingThem();
    void realData_data();
    void realData();

private:
    QString source(const QString &name) const { return m_folder->filePath(name); }
    QString result(const QString &name) const { return m_work->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_previousWorkingDirectory;
};

void TestBatchRun::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid() && m_work->isValid());
    m_previousWorkingDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_work->path()));
}

void TestBatchRun::cleanup()
{
    QDir::setCurrent(m_previousWorkingDirectory);
    m_folder.reset();
    m_work.reset();
}

void TestBatchRun::results_data()
{
    QTest::addColumn<BatchSettings>("settings");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QByteArray>("expected"); // null: no result file

    const QString newPrefix = u"new_"_s;
    QTest::newRow("lines 2 to 3")
        << byLines(u"2"_s, u"3"_s) << newPrefix << QByteArray("20 y\r\n30 z\r\n");
    QTest::newRow("lines 2 to *") << byLines(u"2"_s, u"*"_s) << newPrefix << Example.mid(6);
    QTest::newRow("upper 3* means the last line")
        << byLines(u"2"_s, u"3*"_s) << newPrefix << Example.mid(6);
    QTest::newRow("empty upper keeps nothing")
        << byLines(u"2"_s, QString()) << newPrefix << QByteArray("");
    QTest::newRow("lower 40000 gives 0") << byLines(u"40000"_s, u"*"_s) << newPrefix << Example;
    QTest::newRow("upper 40000 gives 0")
        << byLines(u"1"_s, u"40000"_s) << newPrefix << QByteArray("");
    QTest::newRow("lower 1.5 rounds to 2") << byLines(u"1.5"_s, u"3"_s) << newPrefix
                                           << QByteArray("20 y\r\n30 z\r\n");
    QTest::newRow("values 15 to 35")
        << byValue(u"15"_s, u"35"_s) << newPrefix << QByteArray("20 y\r\n30 z\r\n");
    QTest::newRow("values 1.2.3 and empty give 0 to 0")
        << byValue(u"1.2.3"_s, QString()) << newPrefix << QByteArray("");
    BatchSettings bothPasses = byValue(u"35"_s, u"45"_s);
    bothPasses.ByLines = true;
    QTest::newRow("both passes: by value replaces by lines") << bothPasses << newPrefix
                                                             << QByteArray("40 w\r\n");
    BatchSettings neither = byValue(u"0"_s, u"100"_s);
    neither.ByValue = false;
    QTest::newRow("neither pass writes nothing") << neither << newPrefix << QByteArray();
    QTest::newRow("prefix with a folder part")
        << byLines(u"4"_s, u"*"_s) << u"out/"_s << QByteArray("40 w\r\n");
}

void TestBatchRun::results()
{
    QFETCH(BatchSettings, settings);
    QFETCH(QString, prefix);
    QFETCH(QByteArray, expected);
    QVERIFY(writeFile(source(u"a.txt"_s), Example));
    QVERIFY(QDir(m_work->path()).mkdir(u"out"_s));

    settings.SavePrefix = prefix;
    const BatchReport report = RunBatch(settings, m_folder->path(), {u"a.txt"_s});

    QVERIFY(report.Failures.isEmpty());
    const qsizetype passes = int(settings.ByLines) + int(settings.ByValue);
    QCOMPARE(report.Total, passes);
    QCOMPARE(report.Done, passes);
    const QString resultName = prefix + u"a.txt"_s;
    QCOMPARE(QFile::exists(result(resultName)), !expected.isNull());
    if (!expected.isNull())
        QCOMPARE(readFile(result(resultName)), expected);
    QCOMPARE(folderContents(m_folder->path()), (QMap<QString, QByteArray>{{u"a.txt"_s, Example}}));
}

// Each row puts one obstacle in the way of the first file; the run must
// report it, leave every file already in the working directory as it was,
// leave no temporary file and go on with the next file.
void TestBatchRun::failures_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("failedName");
    QTest::addColumn<bool>("sourceFailed");
    QTest::addColumn<QStringList>("written");

    const QStringList newB{u"new_b.txt"_s};
    QTest::newRow("missing source") << u""_s << u"new_"_s << u"gone.txt"_s << true << newB;
    QTest::newRow("source is a folder")
        << u"source folder"_s << u"new_"_s << u"sub.txt"_s << true << newB;
    QTest::newRow("source fails while read")
        << u"unreadable source"_s << u"new_"_s << u"mem.txt"_s << true
                                             << newB;
    QTest::newRow("result path through a regular file")
        << u""_s << u"a.txt/"_s << u"a.txt"_s << false << QStringList();
    QTest::newRow("prefix folder missing")
        << u""_s << u"out/"_s << u"a.txt"_s << false << QStringList();
    QTest::newRow("result name is a folder")
        << u"result folder"_s << u"new_"_s << u"a.txt"_s << false << newB;
    QTest::newRow("read-only earlier result")
        << u"read-only result"_s << u"new_"_s << u"a.txt"_s << false
                                              << newB;
}

void TestBatchRun::failures()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, prefix);
    QFETCH(QString, failedName);
    QFETCH(bool, sourceFailed);
    QFETCH(QStringList, written);

    QVERIFY(writeFile(source(u"a.txt"_s), Example));
    QVERIFY(writeFile(source(u"b.txt"_s), Example));
    QVERIFY(writeFile(result(u"a.txt"_s), "earlier\r\n")); // what the prefix "a.txt/" runs into
    if (sourceFailed)
        QVERIFY(writeFile(result(prefix + failedName), "earlier\r\n"));
    if (obstacle == u"source folder"_s)
        QVERIFY(QDir(m_folder->path()).mkdir(failedName));
    if (obstacle == u"unreadable source"_s) {
        if (!QFile::exists(u"/proc/self/mem"_s))
            QSKIP("needs /proc/self/mem, whose first bytes cannot be read");
        QVERIFY(QFile::link(u"/proc/self/mem"_s, source(failedName)));
    }
    if (obstacle == u"result folder"_s) {
        QVERIFY(QDir(m_work->path()).mkpath(prefix + failedName));
        QVERIFY(writeFile(result(prefix + failedName + u"/keep"_s), "kept"));
    }
    if (obstacle == u"read-only result"_s) {
        if (geteuid() == 0)
            QSKIP("root may replace a read-only file");
        QVERIFY(writeFile(result(prefix + failedName), "earlier\r\n"));
        QVERIFY(QFile::setPermissions(result(prefix + failedName), QFile::ReadOwner));
    }
    QMap<QString, QByteArray> expectedWork = folderContents(m_work->path());
    for (const QString &name : written)
        expectedWork.insert(name, Example);

    BatchSettings settings = byLines(u"1"_s, u"*"_s);
    settings.SavePrefix = prefix;
    const QStringList names{failedName, u"b.txt"_s};
    const BatchReport report = RunBatch(settings, m_folder->path(), names);

    QCOMPARE(report.Total, 2);
    QCOMPARE(report.Done, written.size());
    QCOMPARE(report.Failures.size(), 2 - written.size());
    const BatchFailure &failure = report.Failures.first();
    QCOMPARE(failure.FileName, failedName);
    QCOMPARE(failure.FailedSide == BatchFailure::Side::Source, sourceFailed);
    QCOMPARE(failure.Path, sourceFailed ? SourcePathOf(m_folder->path(), failedName)
                                        : prefix + failedName);
    QVERIFY(!failure.Reason.isEmpty());
    QCOMPARE(folderContents(m_work->path()), expectedWork);
}

void TestBatchRun::observerStopsTheRun_data()
{
    QTest::addColumn<int>("stopAt"); // -1: never stops
    QTest::newRow("before the first file") << 0;
    QTest::newRow("before the second file") << 1;
    QTest::newRow("in the second pass") << 4;
    QTest::newRow("never") << -1;
}

void TestBatchRun::observerStopsTheRun()
{
    QFETCH(int, stopAt);
    const QStringList names{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
    for (const QString &name : names)
        QVERIFY(writeFile(source(name), Example));
    BatchSettings settings = byValue(u"0"_s, u"100"_s);
    settings.ByLines = true;
    settings.SavePrefix = u"new_"_s;

    QStringList told;
    const auto observer = [&](qsizetype index, qsizetype count, const QString &name) {
        told.append(QStringLiteral("%1/%2 %3").arg(index).arg(count).arg(name));
        return index != stopAt;
    };
    const BatchReport report = RunBatch(settings, m_folder->path(), names, observer);

    const int done = stopAt < 0 ? 6 : stopAt;
    QStringList expectedTold;
    for (int index = 0; index < 6 && index <= done; ++index)
        expectedTold.append(QStringLiteral("%1/6 %2").arg(index).arg(names[index % 3]));
    QCOMPARE(told, expectedTold);
    QCOMPARE(report.Stopped, stopAt >= 0);
    QCOMPARE(report.Done, done);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(QFile::exists(result(u"new_"_s + names[i])), i < done);
}

// With an empty prefix in the folder itself each result replaces its
// source; a file larger than the read block shows that it was read whole
// first.
void TestBatchRun::inPlaceReplacesSourcesAfterReadingThem()
{
    QByteArray big;
    for (int i = 0; big.size() < 3 * (1 << 20); ++i)
        big += "line " + QByteArray::number(i) + " 1.25 6.5\r\n";
    QVERIFY(writeFile(source(u"big.txt"_s), big));
    QVERIFY(writeFile(source(u"small.dat"_s), "head\rrest\r"));
    QVERIFY(QDir::setCurrent(m_folder->path()));

    const BatchReport report = RunBatch(byLines(u"2"_s, u"*"_s), m_folder->path(),
                                        {u"big.txt"_s, u"small.dat"_s});

    QVERIFY(report.Failures.isEmpty());
    QCOMPARE(folderContents(m_folder->path()),
             (QMap<QString, QByteArray>{{u"big.txt"_s, big.mid(big.indexOf('\n') + 1)},
                                        {u"small.dat"_s, "rest\r\n"}}));
}

void TestBatchRun::realData_data()
{
    const QDir data(QStringLiteral(TARVEL_REALDATA_DIR));
    if (!data.exists())
        QSKIP("the real data folder is missing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<BatchSettings>("settings");
    QTest::addColumn<QByteArray>("expected");

    const QString jasco = QStringLiteral("jasco_v570_pbse_absorbance.txt");
    const QByteArrayList jascoLines = crLfLines(readFile(data.filePath(jasco)));
    QCOMPARE(jascoLines.size(), 1819);
    QTest::newRow("jasco CR LF, lines 19 to 1819")
        << jasco << byLines(u"19"_s, u"1819"_s) << asResult(jascoLines.mid(18));
    QTest::newRow("jasco CR LF, wavelengths 700 to 710")
        << jasco << byValue(u"700"_s, u"710"_s)
        << asResult(linesWithFirstFieldIn(jascoLines, '\t', 700, 710));

    const QString shimadzu = QStringLiteral("shimadzu_mos2_absorbance.txt");
    const QByteArrayList shimadzuLines = crLfLines(readFile(data.filePath(shimadzu)));
    QCOMPARE(shimadzuLines.size(), 821);
    QTest::newRow("shimadzu comma-separated, 400 to 410.5")
        << shimadzu << byValue(u"400"_s, u"410.5"_s)
        << asResult(linesWithFirstFieldIn(shimadzuLines, ',', 400, 410.5));

    // LF ends no line: the whole file is its one line, without a final terminator.
    const QString raman = QStringLiteral("raman_unknown_mixture1.txt");
    const QByteArray ramanBytes = readFile(data.filePath(raman));
    QVERIFY(!ramanBytes.contains('\r') && !ramanBytes.endsWith('\n'));
    QTest::newRow("raman LF only, lines 1 to *")
        << raman << byLines(u"1"_s, u"*"_s) << ramanBytes + "\r\n";
    QTest::newRow("raman LF only, lines 2 to *")
        << raman << byLines(u"2"_s, u"*"_s) << QByteArray("");
    QTest::newRow("raman LF only, first value") << raman << byValue(u"152"_s, u"153"_s)
                                                << ramanBytes + "\r\n";
}

void TestBatchRun::realData()
{
    QFETCH(QString, name);
    QFETCH(BatchSettings, settings);
    QFETCH(QByteArray, expected);
    settings.SavePrefix = u"new_"_s;

    const BatchReport report = RunBatch(settings, QStringLiteral(TARVEL_REALDATA_DIR), {name});

    QVERIFY(report.Failures.isEmpty());
    QCOMPARE(readFile(result(u"new_"_s + name)), expected);
}

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
