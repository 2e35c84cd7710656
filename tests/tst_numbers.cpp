// Val and the two field conversions, under a German locale: the point is the
// decimal separator whatever the locale says.

#include "numbers.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <limits>

namespace {

// A text as a first column (Val) and as typed or pasted into a field: the
// line number rounds halves to even and must land in the 64-bit range, else 0.
struct Case { const char *text; double val; qint64 asLine; double asDouble; };

const Case Cases[] = {
    {"12.5", 12.5, 12, 12.5}, {"-2.5", -2.5, -2, -2.5}, {"1.5", 1.5, 2, 1.5}, {"2.50", 2.5, 2, 2.5},
    {"-.5", -0.5, 0, -0.5}, {"5.", 5, 5, 5}, {"+3", 3, 3, 3}, {"1e3", 1000, 1000, 1000},
    {"1e+2", 100, 100, 100}, {"25E-1", 2.5, 2, 2.5}, {"32767.4", 32767.4, 32767, 32767.4},
    {"32767.5", 32767.5, 32768, 32767.5}, {"40000", 40000, 40000, 40000},
    {"-32768.5", -32768.5, -32768, -32768.5}, {"-32769", -32769, -32769, -32769},
    {"99999999999", 99999999999.0, 99999999999, 99999999999.0}, {"1e400", qInf(), 0, 0},
    {"9007199254740993", 9007199254740992.0, 9007199254740993, 9007199254740992.0},
    {"9223372036854775807", 0x1p63, std::numeric_limits<qint64>::max(), 0x1p63},
    {"-9223372036854775808", -0x1p63, std::numeric_limits<qint64>::min(), -0x1p63},
    {"9223372036854775808", 0x1p63, 0, 0x1p63}, {"9.3e18", 9.3e18, 0, 9.3e18},
    {"1e18", 1e18, 1000000000000000000, 1e18},
    {" \t-12\t ", 0, -12, -12}, {"", 0, 0, 0}, {"*", 0, 0, 0}, {"5*", 5, 0, 0}, {"1.2.3", 1.2, 0, 0},
    {"1,5", 1, 0, 0}, {"1 2", 1, 0, 0}, {"12abc", 12, 0, 0}, {"1e", 1, 0, 0}, {"1e+", 1, 0, 0},
    {"e5", 0, 0, 0}, {"-", 0, 0, 0}, {"+-1", 0, 0, 0}, {"0x10", 0, 0, 0}, {"&H10", 16, 0, 0},
    {"&HFFFF", -1, 0, 0}, {"&H7FFF", 32767, 0, 0}, {"&H8000", -32768, 0, 0},
    {"&H10000", 65536, 0, 0}, {"&HFFFFFFFF", -1, 0, 0}, {"&hffg", 255, 0, 0}, {"&O17", 15, 0, 0},
    {"&O178", 15, 0, 0}, {"&O777777", 262143, 0, 0}, {"&12", 0, 0, 0},
    {"\uFF11\uFF12", 0, 0, 0}, // full-width digits
    {"NaN", 0, 0, 0}, {"inf", 0, 0, 0}, {"12\n", 12, 0, 0},
};

} // namespace

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            qInfo("no German C locale installed; only Qt's default locale is German");
    }

    void conversions_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Cases)); ++i)
            QTest::addRow("'%s'", Cases[i].text) << i;
    }

    void conversions()
    {
        QFETCH(int, index);
        const Case &c = Cases[index];
        QCOMPARE(Val(c.text), c.val);
        QCOMPARE(FieldToLineNumber(QString::fromUtf8(c.text)), c.asLine);
        QCOMPARE(FieldToDouble(QString::fromUtf8(c.text)), c.asDouble);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
