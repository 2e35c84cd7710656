#include "extractbylines.h"
#include "extractbyvalue.h"

#include <QBuffer>
#include <QTest>

namespace {

// Collects what a result file would hold.
struct ResultBytes
{
    QByteArray bytes;

    bool append(std::string_view line)
    {
        bytes.append(line.data(), qsizetype(line.size()));
        bytes.append("\r\n");
        return true;
    }
    bool appendLines(std::string_view lines)
    {
        bytes.append(lines.data(), qsizetype(lines.size()));
        return true;
    }
};

QByteArray numberedLines(int count, const char *terminator = "\r\n")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "L" + QByteArray::number(i) + terminator;
    return bytes;
}

// A source in memory, read through a LineReader.
struct MemorySource
{
    QBuffer buffer;
    LineReader lines;

    explicit MemorySource(const QByteArray &bytes,
                          qsizetype blockSize = LineReader::DefaultBlockSize)
        : lines(buffer, blockSize)
    {
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
    }
};

QByteArray keptByLines(const QByteArray &bytes, int start, int end, bool toLast,
                       qsizetype blockSize)
{
    MemorySource source(bytes, blockSize);
    ResultBytes kept;
    ExtractByLines(source.lines, kept, std::int16_t(start), std::int16_t(end), toLast);
    return kept.bytes;
}

QByteArray keptByValue(const QByteArray &bytes, double low, double high)
{
    MemorySource source(bytes);
    ResultBytes kept;
    ExtractByValue(source.lines, kept, low, high);
    return kept.bytes;
}

} // namespace

class TestExtract : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void byLines_data();
    void byLines();
    void byLinesStopsReadingAfterEndLine();
    void byValue_data();
    void byValue();
};

void TestExtract::byLines_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("toLast");
    QTest::addColumn<QByteArray>("kept");

    const QByteArray ten = numberedLines(10);
    QTest::newRow("2 to 3") << ten << 2 << 3 << false << QByteArray("L2\r\nL3\r\n");
    QTest::newRow("3 to 3") << ten << 3 << 3 << false << QByteArray("L3\r\n");
    QTest::newRow("start above end") << ten << 5 << 3 << false << QByteArray();
    QTest::newRow("end 0") << ten << 1 << 0 << false << QByteArray();
    QTest::newRow("negative end") << ten << 1 << -1 << false << QByteArray();
    QTest::newRow("start 0 to 4") << ten << 0 << 4 << false << numberedLines(4);
    QTest::newRow("negative start") << ten << -5 << 2 << false << numberedLines(2);
    QTest::newRow("end past the last line")
        << ten << 9 << 20 << false << QByteArray("L9\r\nL10\r\n");
    QTest::newRow("to last, whole file") << ten << 1 << 0 << true << ten;
    QTest::newRow("to last ignores end") << ten << 9 << 3 << true << QByteArray("L9\r\nL10\r\n");
    QTest::newRow("to last, start on the last line")
        << ten << 10 << 0 << true << QByteArray("L10\r\n");
    QTest::newRow("to last, start past the last line") << ten << 11 << 0 << true << QByteArray();
    QTest::newRow("lone CR lines get CR LF") << numberedLines(3, "\r") << 1 << 0 << true
                                             << numberedLines(3);
    QTest::newRow("lone CR before CR LF lines") << QByteArray("a\rb\r\nc\r\n") << 1 << 0 << true
                                                << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("empty line kept as bare CR LF")
        << QByteArray("a\r\n\r\nc\r\n") << 1 << 3 << false << QByteArray("a\r\n\r\nc\r\n");
    QTest::newRow("mixed ends to the last line")
        << QByteArray("L1\rL2\r\nL3\nstill 3\r\n\r\rL6") << 2 << 0 << true
        << QByteArray("L2\r\nL3\nstill 3\r\n\r\n\r\nL6\r\n");
    QTest::newRow("numbered range without final terminator")
        << QByteArray("a\r\nb") << 2 << 5 << false << QByteArray("b\r\n");

    const QByteArray manyLines = numberedLines(40000);
    QTest::newRow("40000 lines from 32767 to the last")
        << manyLines << 32767 << 0 << true << manyLines.mid(manyLines.indexOf("\nL32767\r") + 1);
}

// Tiny blocks put CR LF pairs and whole runs of lines across block ends.
void TestExtract::byLines()
{
    QFETCH(QByteArray, source);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, toLast);
    QFETCH(QByteArray, kept);

    QCOMPARE(keptByLines(source, start, end, toLast, LineReader::DefaultBlockSize), kept);
    for (qsizetype blockSize = 1; blockSize <= 7; ++blockSize) {
        if (keptByLines(source, start, end, toLast, blockSize) != kept)
            QFAIL(qPrintable(QStringLiteral("block size %1 keeps other lines").arg(blockSize)));
    }
}

// The numbered branch must stop at EndLine, also at the largest one.
void TestExtract::byLinesStopsReadingAfterEndLine()
{
    const QByteArray manyLines = numberedLines(40000);
    MemorySource source(manyLines, 64);
    ResultBytes kept;
    QVERIFY(ExtractByLines(source.lines, kept, 32766, 32767, false));
    QCOMPARE(kept.bytes, QByteArray("L32766\r\nL32767\r\n"));
    const qint64 endOfLastKept = manyLines.indexOf("L32768\r");
    QVERIFY2(source.buffer.pos() <= endOfLastKept + 128,
             qPrintable(QStringLiteral("read %1 bytes").arg(source.buffer.pos())));
}

void TestExtract::byValue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("selected");

    QTest::newRow("12.5 blank") << QByteArray("12.5 abc") << 10.0 << 20.0 << true;
    QTest::newRow("12.5 tab") << QByteArray("12.5\tabc") << 10.0 << 20.0 << true;
    QTest::newRow("low bound") << QByteArray("10 x") << 10.0 << 20.0 << true;
    QTest::newRow("high bound") << QByteArray("20 x") << 10.0 << 20.0 << true;
    QTest::newRow("just above") << QByteArray("20.0001 x") << 10.0 << 20.0 << false;
    QTest::newRow("just below") << QByteArray("9.99 x") << 10.0 << 20.0 << false;
    QTest::newRow("exponent") << QByteArray("1e1 x") << 10.0 << 20.0 << true;
    QTest::newRow("comma ends the number") << QByteArray("1,5 x") << 10.0 << 20.0 << false;
    QTest::newRow("&H literal") << QByteArray("&H10 x") << 10.0 << 20.0 << true;
    QTest::newRow("GBK 15米 x") << QByteArray("15\xc3\xd7 x") << 10.0 << 20.0 << true;
    QTest::newRow("UTF-8 15米 x") << QByteArray("15\xe7\xb1\xb3 x") << 10.0 << 20.0 << true;
    QTest::newRow("leading blank") << QByteArray(" 15 x") << 10.0 << 20.0 << false;
    QTest::newRow("GBK 温度 15") << QByteArray("\xce\xc2\xb6\xc8 15") << 10.0 << 20.0 << false;
    QTest::newRow("UTF-8 温度 15") << QByteArray("\xe6\xb8\xa9\xe5\xba\xa6 15") << 10.0 << 20.0
                                   << false;
    QTest::newRow("no delimiter, inside") << QByteArray("15") << 10.0 << 20.0 << true;
    QTest::newRow("no delimiter, outside") << QByteArray("25") << 10.0 << 20.0 << false;
    QTest::newRow("empty line, 10 to 20") << QByteArray() << 10.0 << 20.0 << false;
    QTest::newRow("line past 32767 bytes")
        << QByteArray("15") + QByteArray(40000, ' ') + "x" << 10.0 << 20.0 << true;
    QTest::newRow("low above high") << QByteArray("15 x") << 20.0 << 10.0 << false;
    QTest::newRow("0 to 0, leading blank") << QByteArray(" 15 x") << 0.0 << 0.0 << true;
    QTest::newRow("0 to 0, letter") << QByteArray("abc x") << 0.0 << 0.0 << true;
    QTest::newRow("0 to 0, GBK 温度") << QByteArray("\xce\xc2\xb6\xc8 15") << 0.0 << 0.0 << true;
    QTest::newRow("0 to 0, empty line") << QByteArray() << 0.0 << 0.0 << true;
    QTest::newRow("0 to 0, number") << QByteArray("12.5 abc") << 0.0 << 0.0 << false;
    QTest::newRow("0 to 0, lone number") << QByteArray("25") << 0.0 << 0.0 << false;
    QTest::newRow("negative range") << QByteArray("-3 x") << -5.0 << -1.0 << true;
    QTest::newRow("negative range, below") << QByteArray("-6 x") << -5.0 << -1.0 << false;
    QTest::newRow("negative range, positive") << QByteArray("3 x") << -5.0 << -1.0 << false;
}

// Each line follows a line whose key is the low bound, so that a key left
// over from the line before would show.
void TestExtract::byValue()
{
    QFETCH(QByteArray, line);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(bool, selected);

    const QByteArray before = QByteArray::number(low) + " before\r\n";
    QByteArray kept;
    if (low <= high)
        kept += before;
    if (selected)
        kept += line + "\r\n";
    QCOMPARE(keptByValue(before + line + "\r\n", low, high), kept);
    if (!line.isEmpty()) // as the last line without terminator
        QCOMPARE(keptByValue(before + line, low, high), kept);
}

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
