// Bad input at the edges, through whole runs on real files: every byte value
// in lines, lines of only CR, line ends across the reader's block boundary,
// number fields holding pasted text, and first columns that end where a
// number could seem to go on.

#include "batchfixture.h"
#include "linereader.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <functional>

namespace {

// Bytes 0 to 255 except CR, which would end the line; LF stays inside it.
QByteArray everyByteButCr()
{
    QByteArray bytes;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r')
            bytes.append(char(byte));
    }
    return bytes;
}

// A first line that ends with its CR at byte offset crAt, then two more.
QByteArrayList linesAround(qsizetype crAt)
{
    QByteArray first = "1 ";
    first.append(QByteArray(crAt - first.size(), 'x'));
    return {first, "2 y", "3 z"};
}

QByteArray crLfLines(const QByteArrayList &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// Lines L1 to L15, and the value-keyed lines "KEY x".
const int NumberedCount = 15;
const QList<double> Keys{0, 1.5, 2, 3, 10, 12, 16, 1000, 99999999999.0};

QByteArray keyLine(double key) { return QByteArray::number(key, 'g', 17) + " x"; }

QByteArray keyedLines(const std::function<bool(double)> &kept)
{
    QByteArray bytes;
    for (const double key : Keys) {
        if (kept(key))
            bytes += keyLine(key) + "\r\n";
    }
    return bytes;
}

} // namespace

class TestEdges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keptByteForByte_data();
    void keptByteForByte();
    void lineEndAcrossBlockBoundary_data();
    void lineEndAcrossBlockBoundary();
    void pastedFieldText_data();
    void pastedFieldText();
    void firstColumnEndsTheNumber_data();
    void firstColumnEndsTheNumber();
    void lastLineKeyIgnoresStaleBuffer();
};

void TestEdges::keptByteForByte_data()
{
    QTest::addColumn<BatchSettings>("settings");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("result");

    const QByteArray all = everyByteButCr();
    const QByteArray keyed = "5 " + all;
    QTest::newRow("every byte value, to the last line")
        << byLines(QString(), QStringLiteral("*")) << all + "\r\n" + all + "\r" + all
        << all + "\r\n" + all + "\r\n" + all + "\r\n";
    QTest::newRow("every byte value, numbered range")
        << byLines(QStringLiteral("2"), QStringLiteral("3")) << all + "\r" + all + "\r\n" + all
        << all + "\r\n" + all + "\r\n";
    QTest::newRow("every byte value, by value")
        << byValue(QStringLiteral("5"), QStringLiteral("5")) << keyed + "\r\n6 " + all + "\r\n" + keyed
        << keyed + "\r\n" + keyed + "\r\n";
    QTest::newRow("NULs only") << byLines(QString(), QStringLiteral("*")) << QByteArray(300, '\0')
                               << QByteArray(300, '\0') + "\r\n";
    QTest::newRow("NUL ends the first column")
        << byValue(QStringLiteral("7"), QStringLiteral("7")) << QByteArray("7\0" "8\r\n\0" "7\r\n", 8)
        << QByteArray("7\0" "8\r\n", 5);
    QTest::newRow("lines of only CR, to the last line")
        << byLines(QString(), QStringLiteral("*")) << QByteArray("\r\r\r") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("lines of only CR, from line 3")
        << byLines(QStringLiteral("3"), QStringLiteral("*")) << QByteArray("\r\r\r\r")
        << QByteArray("\r\n\r\n");
    QTest::newRow("lines of only CR, numbered range")
        << byLines(QStringLiteral("1"), QStringLiteral("2")) << QByteArray("\r\r\r") << QByteArray("\r\n\r\n");
    QTest::newRow("lines of only CR, by value 0 to 0")
        << byValue(QString(), QString()) << QByteArray("\r\r\r") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("lines of only CR, by value 1 to 2")
        << byValue(QStringLiteral("1"), QStringLiteral("2")) << QByteArray("\r\r\r") << QByteArray("");
    QTest::newRow("CR CR LF is a line and an empty line")
        << byLines(QString(), QStringLiteral("*")) << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("lone LFs stay inside the line")
        << byLines(QString(), QStringLiteral("*")) << QByteArray("\n\na\nb\r\n\n")
        << QByteArray("\n\na\nb\r\n\n\r\n");
}

void TestEdges::keptByteForByte()
{
    QFETCH(BatchSettings, settings);
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, result);

    QCOMPARE(resultOfOneFile(settings, source), result);
}

void TestEdges::lineEndAcrossBlockBoundary_data()
{
    QTest::addColumn<BatchSettings>("settings");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("result");

    // The reader takes the file in blocks of this size; a line longer than a
    // block makes the buffer grow, so its end falls on twice that offset.
    const qsizetype block = LineReader::DefaultBlockSize;
    for (const qsizetype crAt : {block - 2, block - 1, block, 2 * block - 1, 2 * block}) {
        const QByteArrayList lines = linesAround(crAt);
        const QByteArray crLf = crLfLines(lines);
        const QByteArray loneCr = lines.join('\r');
        const QByteArray lf = crLfLines(lines.mid(1));
        const QByteArray at = QByteArray::number(crAt);
        QTest::newRow("CR LF at " + at + ", to the last line")
            << byLines(QString(), QStringLiteral("*")) << crLf << crLf;
        QTest::newRow("CR LF at " + at + ", from line 2")
            << byLines(QStringLiteral("2"), QStringLiteral("*")) << crLf << lf;
        QTest::newRow("CR LF at " + at + ", lines 1 to 2")
            << byLines(QStringLiteral("1"), QStringLiteral("2")) << crLf << crLfLines(lines.mid(0, 2));
        QTest::newRow("CR LF at " + at + ", by value")
            << byValue(QStringLiteral("2"), QStringLiteral("3")) << crLf << lf;
        QTest::newRow("lone CR at " + at + ", to the last line")
            << byLines(QString(), QStringLiteral("*")) << loneCr << crLf;
        QTest::newRow("CR then LF-led line at " + at)
            << byLines(QString(), QStringLiteral("*")) << lines[0] + "\r\r\n" + lines[1]
            << lines[0] + "\r\n\r\n" + lines[1] + "\r\n";
    }
}

void TestEdges::lineEndAcrossBlockBoundary()
{
    QFETCH(BatchSettings, settings);
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, result);

    const QByteArray got = resultOfOneFile(settings, source);
    QVERIFY(!got.isNull());
    if (got != result) // a mismatch of megabytes would flood the log
        QFAIL(qPrintable(QStringLiteral("result differs: %1 bytes instead of %2, first at byte %3")
                             .arg(got.size())
                             .arg(result.size())
                             .arg(std::mismatch(got.begin(), got.end(), result.begin(), result.end()).first
                                  - got.begin())));
}

void TestEdges::pastedFieldText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("asLine");      // what the 16-bit field conversion promises
    QTest::addColumn<double>("asValue");  // what the double field conversion promises

    QTest::newRow("blanks around") << QStringLiteral(" 12 ") << 12 << 12.0;
    QTest::newRow("tab and blank around") << QStringLiteral("\t12 ") << 12 << 12.0;
    QTest::newRow("plus sign") << QStringLiteral("+3") << 3 << 3.0;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000 << 1000.0;
    QTest::newRow("exponent to a line number") << QStringLiteral("1e1") << 10 << 10.0;
    QTest::newRow("point") << QStringLiteral("1.5") << 2 << 1.5;
    QTest::newRow("comma, whatever the locale") << QStringLiteral("1,5") << 0 << 0.0;
    QTest::newRow("&H literal") << QStringLiteral("&H10") << 0 << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("\uFF11\uFF12") << 0 << 0.0;
    QTest::newRow("beyond 16 bits") << QStringLiteral("99999999999") << 0 << 99999999999.0;
    QTest::newRow("NaN") << QStringLiteral("NaN") << 0 << 0.0;
    QTest::newRow("nan") << QStringLiteral("nan") << 0 << 0.0;
    QTest::newRow("inf") << QStringLiteral("inf") << 0 << 0.0;
    QTest::newRow("-Infinity") << QStringLiteral("-Infinity") << 0 << 0.0;
    QTest::newRow("C hex") << QStringLiteral("0x10") << 0 << 0.0;
    QTest::newRow("line break pasted along") << QStringLiteral("12\n") << 0 << 0.0;
    QTest::newRow("no-break space") << QStringLiteral("\u00A012") << 0 << 0.0;
}

// Each field's text is used as a run takes it: as the first line, as the
// last line, and as both bounds of the value range. The results must follow
// from the promised values, in the C locale and in one with a decimal comma.
void TestEdges::pastedFieldText()
{
    QFETCH(QString, text);
    QFETCH(int, asLine);
    QFETCH(double, asValue);

    const QByteArray numbered = numberedLines(1, NumberedCount);
    const QByteArray keyed = keyedLines([](double) { return true; });
    const QByteArray fromLine = numberedLines(std::max(asLine, 1), NumberedCount);
    const QByteArray toLine = numberedLines(1, std::min(asLine, NumberedCount));
    const QByteArray onValue = keyedLines([asValue](double key) { return key == asValue; });

    for (const char *locale : {"C", "de_DE.UTF-8"}) {
        const bool german = QByteArray(locale) != "C";
        QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        std::setlocale(LC_ALL, locale); // may be missing; Qt's default locale is set anyway
        const auto where = [locale](const char *use) {
            return QByteArray(use) + " in locale " + locale;
        };

        QVERIFY2(resultOfOneFile(byLines(text, QStringLiteral("*")), numbered) == fromLine,
                 where("as first line").constData());
        QVERIFY2(resultOfOneFile(byLines(QString(), text), numbered) == toLine,
                 where("as last line").constData());
        QVERIFY2(resultOfOneFile(byValue(text, text), keyed) == onValue,
                 where("as both bounds").constData());
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

void TestEdges::firstColumnEndsTheNumber_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("key");

    QTest::newRow("letters after the number") << QByteArray("12abc 15") << 12.0;
    QTest::newRow("blank") << QByteArray("12 15") << 12.0;
    QTest::newRow("tab") << QByteArray("12\t15") << 12.0;
    QTest::newRow("NUL") << QByteArray("12\0" "15", 5) << 12.0;
    QTest::newRow("control character") << QByteArray("12\x01" "15") << 12.0;
    QTest::newRow("GBK character") << QByteArray("12\xb0\xa1" "15") << 12.0;
    QTest::newRow("UTF-8 character") << QByteArray("12\xe7\xb1\xb3" "15") << 12.0;
    QTest::newRow("exponent letter, then blank") << QByteArray("1e 3") << 1.0;
    QTest::newRow("exponent letter, then GBK") << QByteArray("1e\xb0\xa1" "3") << 1.0;
    QTest::newRow("exponent sign, then tab") << QByteArray("2e-\t3") << 2.0;
    QTest::newRow("point, then blank") << QByteArray("1. 5") << 1.0;
    QTest::newRow("sign, then blank") << QByteArray("- 5") << 0.0;
    QTest::newRow("&H, then blank") << QByteArray("&H1 0") << 1.0;
    QTest::newRow("&H, then GBK") << QByteArray("&HF\xb0\xa1" "F") << 15.0;
    QTest::newRow("0x80 and 0xFF are part of the column")
        << QByteArray("12\x80" "5 x") << 12.0;
    QTest::newRow("pasted full-width digits") << QByteArray("\xef\xbc\x91\xef\xbc\x92 x") << 0.0;
    QTest::newRow("NaN") << QByteArray("NaN x") << 0.0;
    QTest::newRow("inf") << QByteArray("inf x") << 0.0;
    QTest::newRow("huge") << QByteArray("99999999999 x") << 99999999999.0;
}

// The key is read from the first column alone: a run with both bounds at the
// expected key keeps the line.
void TestEdges::firstColumnEndsTheNumber()
{
    QFETCH(QByteArray, line);
    QFETCH(double, key);

    const QString bound = QString::number(key, 'g', 17);
    QCOMPARE(resultOfOneFile(byValue(bound, bound), line + "\r\n"), line + "\r\n");
}

// The last line has no terminator and is short, and the reader's buffer
// still holds digits of the block before it right behind it. Its key must
// come from its own bytes.
void TestEdges::lastLineKeyIgnoresStaleBuffer()
{
    const qsizetype block = LineReader::DefaultBlockSize;
    QByteArray source = "5" + QByteArray(block - 3, '9') + "\r\n"; // exactly one block
    QCOMPARE(source.size(), block);
    source += "5";

    QCOMPARE(resultOfOneFile(byValue(QStringLiteral("5"), QStringLiteral("5")), source),
             QByteArray("5\r\n"));
}

QTEST_GUILESS_MAIN(TestEdges)
#include "tst_edges.moc"
