// The line rule and the value mode, with the source read in blocks of many
// small sizes so that lines and CR LF pairs fall across block ends.

#include "extractbylines.h"
#include "extractbyvalue.h"

#include <QBuffer>
#include <QTest>

namespace {

// What a result file would hold: each line handed over ends in CR LF.
struct ResultBytes
{
    QByteArray bytes;
    bool append(std::string_view line)
    {
        bytes.append(QByteArrayView(line)).append("\r\n");
        return true;
    }
};

// The first block size at which `extract` keeps of `bytes` anything other
// than `expected`; 0 when every size gives it.
template <class Extract>
qsizetype blockSizeThatDiffers(const QByteArray &bytes, const QByteArray &expected, Extract extract)
{
    for (const qsizetype blockSize : {1, 2, 3, 4, 5, 7, 8, 1 << 20}) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        LineReader reader(buffer, blockSize);
        ResultBytes kept;
        if (!extract(reader, kept) || kept.bytes != expected)
            return blockSize;
    }
    return 0;
}

auto keepLines(qint64 start, qint64 end, bool toLast)
{
    return [=](LineReader &lines, ResultBytes &kept) {
        return ExtractByLines(lines, kept, start, end, toLast);
    };
}

auto keepValues(double low, double high)
{
    return [=](LineReader &lines, ResultBytes &kept) { return ExtractByValue(lines, kept, low, high); };
}

QByteArray crLf(const QByteArrayList &lines)
{
    return lines.isEmpty() ? QByteArray() : lines.join("\r\n") + "\r\n";
}

// A line after one keyed at the low bound, so that a key left over from
// that line would show.
struct KeyCase { const char *line; double low, high; bool selected; };

const KeyCase KeyCases[] = {
    {"12.5 abc", 10, 20, true}, {"10 x", 10, 20, true}, {"20 x", 10, 20, true},
    {"20.0001 x", 10, 20, false}, {"9.99 x", 10, 20, false}, {"1e1 x", 10, 20, true},
    {"1,5 x", 10, 20, false}, {"15\xc3\xd7 x", 10, 20, true}, {" 15 x", 10, 20, true},
    {"\t  15\tx", 10, 20, true}, {"   3     900.00", 3, 3, true}, {"\xce\xc2\xb6\xc8 15", 10, 20, false},
    {"15", 10, 20, true}, {"25", 10, 20, false}, {"", 10, 20, false}, {"15 x", 20, 10, false},
    {" \t ", 0, 0, true}, {"\x01" "15 x", 0, 0, true}, {" \xce\xc2 15", 0, 0, true}, {"abc x", 0, 0, true},
    {"\xe6\xb8\xa9\xe5\xba\xa6 15", 0, 0, true}, {"12.5 abc", 0, 0, false}, {"", 0, 0, true},
    {"\xef\xbb\xbf" "15 x", 0, 0, true}, // a byte order mark counts only on the first line
}; // 15米 x and 温度 15 in GBK, 温度 15 in UTF-8

} // namespace

class TestLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineRule_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("lines");
        QByteArray all; // every byte value but CR and LF, which end lines: GBK and UTF-8 text too
        for (int byte = 0; byte < 256; ++byte)
            all += byte == '\r' || byte == '\n' ? QByteArray() : QByteArray(1, char(byte));
        const QByteArray longLine(3 << 20, 'x');

        QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
        QTest::newRow("CR LF") << QByteArray("a\r\nbc\r\n") << QByteArrayList{"a", "bc"};
        QTest::newRow("lone CR") << QByteArray("a\rbc\r") << QByteArrayList{"a", "bc"};
        QTest::newRow("mixed, none last") << QByteArray("a\rb\r\nc") << QByteArrayList{"a", "b", "c"};
        QTest::newRow("lone LFs") << QByteArray("a\nb\r\nc\n") << QByteArrayList{"a", "b", "c"};
        QTest::newRow("each end, none last") << QByteArray("a\rb\nc\r\nd") << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("only LFs") << QByteArray("\n\n") << QByteArrayList{"", ""};
        QTest::newRow("only CRs") << QByteArray("\r\r\r") << QByteArrayList{"", "", ""};
        QTest::newRow("empty CR LF lines") << QByteArray("\r\n\r\n") << QByteArrayList{"", ""};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("CR LF LF") << QByteArray("a\r\n\nb\r\n") << QByteArrayList{"a", "", "b"};
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("LF CR LF") << QByteArray("a\n\r\nb\r\n") << QByteArrayList{"a", "", "b"};
        QTest::newRow("every byte") << all + "\r\n" + all + "\r" + all + "\n" + all
                                    << QByteArrayList{all, all, all, all};
        QTest::newRow("line of 3 MiB") << longLine + "\r\nend" << QByteArrayList{longLine, "end"};
    }

    // Every way of reading keeps the lines byte for byte: numbered, to the
    // last line (where CR LF lines pass through in runs) from the first and
    // from the second line, and by a value range that holds every key.
    void lineRule()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(blockSizeThatDiffers(bytes, crLf(lines), keepLines(1, 1LL << 40, false)), 0);
        QCOMPARE(blockSizeThatDiffers(bytes, crLf(lines), keepLines(1, 0, true)), 0);
        QCOMPARE(blockSizeThatDiffers(bytes, crLf(lines.mid(1)), keepLines(2, 0, true)), 0);
        QCOMPARE(blockSizeThatDiffers(bytes, crLf(lines), keepValues(-qInf(), qInf())), 0);
    }

    void byValue_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(KeyCases)); ++i)
            QTest::addRow("'%s' in %g to %g", KeyCases[i].line, KeyCases[i].low, KeyCases[i].high) << i;
    }

    // Each line is tried with and without its line end.
    void byValue()
    {
        QFETCH(int, index);
        const KeyCase &c = KeyCases[index];
        const QByteArray line = c.line, before = QByteArray::number(c.low) + " before\r\n";
        const QByteArray kept =
            (c.low <= c.high ? before : QByteArray()) + (c.selected ? line + "\r\n" : QByteArray());
        QCOMPARE(blockSizeThatDiffers(before + line + "\r\n", kept, keepValues(c.low, c.high)), 0);
        if (!line.isEmpty())
            QCOMPARE(blockSizeThatDiffers(before + line, kept, keepValues(c.low, c.high)), 0);
    }

    // The mark is skipped before the blanks on the first line only; the line
    // is kept with its mark.
    void byteOrderMarkOnFirstLine()
    {
        const QByteArray bytes = "\xef\xbb\xbf  15 x\n\xef\xbb\xbf" "15 y\n";
        QCOMPARE(blockSizeThatDiffers(bytes, "\xef\xbb\xbf  15 x\r\n", keepValues(15, 15)), 0);
    }

    // At block size 7 the last line "5" lands at the start of a buffer that
    // still holds "9999\r\n" behind it: its key comes from its own byte.
    void lastLineKeyIgnoresStaleBuffer()
    {
        QCOMPARE(blockSizeThatDiffers("59999\r\n5", "5\r\n", keepValues(5, 5)), 0);
    }
};

QTEST_GUILESS_MAIN(TestLines)
#include "tst_lines.moc"
