#include "linereader.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArrayList readLines(const QByteArray &bytes, qsizetype blockSize)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer, blockSize);
    QByteArrayList lines;
    std::string_view line;
    while (reader.next(line))
        lines.append(QByteArray(line.data(), qsizetype(line.size())));
    return lines;
}

} // namespace

class TestLineReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitsLines_data();
    void splitsLines();
};

void TestLineReader::splitsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
    QTest::newRow("CR LF") << QByteArray("a\r\nbc\r\n") << QByteArrayList{"a", "bc"};
    QTest::newRow("lone CR") << QByteArray("a\rbc\r") << QByteArrayList{"a", "bc"};
    QTest::newRow("mixed ends, none last")
        << QByteArray("a\rb\r\nc") << QByteArrayList{"a", "b", "c"};
    QTest::newRow("lone LF is part of the line")
        << QByteArray("a\nb\r\nc\n") << QByteArrayList{"a\nb", "c\n"};
    QTest::newRow("only LFs: one line") << QByteArray("a\nb\n") << QByteArrayList{"a\nb\n"};
    QTest::newRow("single LF") << QByteArray("\n") << QByteArrayList{"\n"};
    QTest::newRow("single CR") << QByteArray("\r") << QByteArrayList{""};
    QTest::newRow("only CRs") << QByteArray("\r\r\r") << QByteArrayList{"", "", ""};
    QTest::newRow("empty lines CR LF") << QByteArray("\r\n\r\n") << QByteArrayList{"", ""};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("CR LF LF") << QByteArray("a\r\n\nb") << QByteArrayList{"a", "\nb"};
    QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArrayList{"\n"};
    QTest::newRow("NUL and bytes 0x80, 0xFF")
        << QByteArray("x\0y\x80\xff\r\n", 7) << QByteArrayList{QByteArray("x\0y\x80\xff", 5)};
    // 温度 15 / 25米 x in GBK, then in UTF-8
    QTest::newRow("GBK") << QByteArray("\xce\xc2\xb6\xc8 15\r\n25\xc3\xd7 x")
                         << QByteArrayList{"\xce\xc2\xb6\xc8 15", "25\xc3\xd7 x"};
    QTest::newRow("UTF-8") << QByteArray("\xe6\xb8\xa9\xe5\xba\xa6 15\r\n25\xe7\xb1\xb3 x\r\n")
                           << QByteArrayList{"\xe6\xb8\xa9\xe5\xba\xa6 15", "25\xe7\xb1\xb3 x"};
    const QByteArray longLine(3 * LineReader::DefaultBlockSize + 5, 'x');
    QTest::newRow("line longer than the default block")
        << longLine + "\r\nend" << QByteArrayList{longLine, "end"};
}

// Every block size must split the same way, above all where a CR LF or a
// line falls across the end of a block.
void TestLineReader::splitsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, lines);

    QCOMPARE(readLines(bytes, LineReader::DefaultBlockSize), lines);
    for (qsizetype blockSize = 1; blockSize <= 7; ++blockSize) {
        if (readLines(bytes, blockSize) != lines)
            QFAIL(qPrintable(QStringLiteral("block size %1 splits differently").arg(blockSize)));
    }
}

QTEST_GUILESS_MAIN(TestLineReader)
#include "tst_linereader.moc"
