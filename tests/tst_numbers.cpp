// Val and the two field conversions, under a German locale: the point is the
// decimal separator whatever the locale says.

#include "numbers.h"

#include <QLocale>
#include <QTest>

#include <clocale>

namespace {

// A text as a first column (Val) and as typed or pasted into a field: the
// 16-bit conversion rounds halves to even and must land in range, else 0.
struct Case { const char *text; double val; int asInt16; double asDouble; };

const Case Cases[] = {
    {"12.5", 12.5, 12, 12.5}, {"-2.5", -2.5, -2, -2.5}, {"1.5", 1.5, 2, 1.5}, {"2.50", 2.5, 2, 2.5},
    {"-.5", -0.5, 0, -0.5}, {"5.", 5, 5, 5}, {"+3", 3, 3, 3}, {"1e3", 1000, 1000, 1000},
    {"1e+2", 100, 100, 100}, {"25E-1", 2.5, 2, 2.5}, {"32767.4", 32767.4, 32767, 32767.4},
    {"32767.5", 32767.5, 0, 32767.5}, {"32768", 32768, 0, 32768},
    {"-32768.5", -32768.5, -32768, -32768.5}, {"-32769", -32769, 0, -32769},
    {"99999999999", 99999999999.0, 0, 99999999999.0}, {"1e400", qInf(), 0, 0},
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
        QCOMPARE(int(FieldToInt16(QString::fromUtf8(c.text))), c.asInt16);
        QCOMPARE(FieldToDouble(QString::fromUtf8(c.text)), c.asDouble);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
