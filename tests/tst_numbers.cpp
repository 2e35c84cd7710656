// SPDX-License-Identifier: GPL-3.0-or-later
// Val and the two field conversions, under a German locale: the point is the
// decimal separator whatever the locale says.

#include "numbers.h"

#include <QLocale>
#include <QTest>

#include <clocale>

namespace {

// A text as a first column (Val) and as typed or pasted into a field: the
// line number rounds halves to even and must land in the 64-bit range, else 0.
struct Case { const char *text; double val; qint64 asLine; double asDouble; };

// The documented examples; the fuzzers try every other text against a
// plain reading of the rules.
const Case Cases[] = {
    {"12.5", 12.5, 12, 12.5}, {"-.5", -0.5, 0, -0.5}, {"1.5", 1.5, 2, 1.5}, {"2.50", 2.5, 2, 2.5},
    {"1e3", 1000, 1000, 1000}, {"32767.5", 32767.5, 32768, 32767.5},
    {"9007199254740993", 9007199254740992.0, 9007199254740993, 9007199254740992.0},
    {"9223372036854775808", 0x1p63, 0, 0x1p63}, {"1e400", qInf(), 0, 0}, {" \t-12\t ", 0, -12, -12},
    {"1,5", 1, 0, 0}, {"12abc", 12, 0, 0}, {"&H10", 16, 0, 0}, {"&HFFFF", -1, 0, 0}, {"&H10000", 65536, 0, 0},
    {"&O17", 15, 0, 0}, {"\uFF11\uFF12", 0, 0, 0}, // full-width digits
    {"NaN", 0, 0, 0},
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
