#include "numbers.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <string>

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void val_data();
    void val();
    void fieldToInt16_data();
    void fieldToInt16();
    void fieldToDouble_data();
    void fieldToDouble();
    void pointIsDecimalSeparatorInEveryLocale();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("decimal") << QByteArray("12.5") << 12.5;
    QTest::newRow("signed exponent") << QByteArray("-3e2") << -300.0;
    QTest::newRow("trailing letters") << QByteArray("12abc") << 12.0;
    QTest::newRow("comma ends the number") << QByteArray("1,5") << 1.0;
    QTest::newRow("second point ends it") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("negative leading point") << QByteArray("-.5") << -0.5;
    QTest::newRow("trailing point") << QByteArray("5.") << 5.0;
    QTest::newRow("plus sign") << QByteArray("+7") << 7.0;
    QTest::newRow("capital exponent, negative") << QByteArray("2.5E-1") << 0.25;
    QTest::newRow("exponent then letters") << QByteArray("1.5e2x") << 150.0;
    QTest::newRow("exponent without digits") << QByteArray("1e") << 1.0;
    QTest::newRow("exponent sign without digits") << QByteArray("1e+") << 1.0;
    QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    QTest::newRow("two signs") << QByteArray("+-1") << 0.0;
    QTest::newRow("point alone") << QByteArray(".") << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("C hex is not a number") << QByteArray("0x10") << 0.0;
    QTest::newRow("&H 16-bit is signed") << QByteArray("&HFFFF") << -1.0;
    QTest::newRow("&H largest positive 16-bit") << QByteArray("&H7FFF") << 32767.0;
    QTest::newRow("&H smallest 16-bit") << QByteArray("&H8000") << -32768.0;
    QTest::newRow("&H past 16 bits") << QByteArray("&H10000") << 65536.0;
    QTest::newRow("&H 32-bit is signed") << QByteArray("&HFFFFFFFF") << -1.0;
    QTest::newRow("&h lower case, stops at non-hex") << QByteArray("&hffg") << 255.0;
    QTest::newRow("&O octal") << QByteArray("&O17") << 15.0;
    QTest::newRow("&O stops at 8") << QByteArray("&O178") << 15.0;
    QTest::newRow("&O past 16 bits") << QByteArray("&O777777") << 262143.0;
    QTest::newRow("& without kind") << QByteArray("&12") << 0.0;
}

void TestNumbers::val()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(Val(std::string_view(text.constData(), text.size())), expected);
}

void TestNumbers::fieldToInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("digits") << QStringLiteral("5") << 5;
    QTest::newRow("blanks and tabs around") << QStringLiteral(" \t-12\t ") << -12;
    QTest::newRow("trailing point") << QStringLiteral("5.") << 5;
    QTest::newRow("half of 0.5 to even") << QStringLiteral(".5") << 0;
    QTest::newRow("1.5 to even") << QStringLiteral("1.5") << 2;
    QTest::newRow("2.50 to even") << QStringLiteral("2.50") << 2;
    QTest::newRow("-2.5 to even") << QStringLiteral("-2.5") << -2;
    QTest::newRow("3.5 to even") << QStringLiteral("3.5") << 4;
    QTest::newRow("above a half") << QStringLiteral("2.51") << 3;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000;
    QTest::newRow("capital exponent with sign") << QStringLiteral("1E+2") << 100;
    QTest::newRow("negative exponent") << QStringLiteral("25e-1") << 2;
    QTest::newRow("largest") << QStringLiteral("32767") << 32767;
    QTest::newRow("largest, rounded down") << QStringLiteral("32767.4") << 32767;
    QTest::newRow("rounds out of range") << QStringLiteral("32767.5") << 0;
    QTest::newRow("one too large") << QStringLiteral("32768") << 0;
    QTest::newRow("40000") << QStringLiteral("40000") << 0;
    QTest::newRow("smallest") << QStringLiteral("-32768") << -32768;
    QTest::newRow("smallest, half to even") << QStringLiteral("-32768.5") << -32768;
    QTest::newRow("one too small") << QStringLiteral("-32769") << 0;
    QTest::newRow("huge") << QStringLiteral("1e400") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("asterisk") << QStringLiteral("*") << 0;
    QTest::newRow("digit and asterisk") << QStringLiteral("5*") << 0;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << 0;
    QTest::newRow("comma") << QStringLiteral("1,5") << 0;
    QTest::newRow("inner blank") << QStringLiteral("1 2") << 0;
    QTest::newRow("incomplete exponent") << QStringLiteral("1e") << 0;
    QTest::newRow("exponent alone") << QStringLiteral("e5") << 0;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0;
}

void TestNumbers::fieldToInt16()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(int(FieldToInt16(text)), expected);
}

void TestNumbers::fieldToDouble_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("trailing zero") << QStringLiteral("2.50") << 2.5;
    QTest::newRow("blanks around") << QStringLiteral(" 10\t") << 10.0;
    QTest::newRow("negative") << QStringLiteral("-5") << -5.0;
    QTest::newRow("exponent") << QStringLiteral("1e1") << 10.0;
    QTest::newRow("negative exponent") << QStringLiteral("1.5E-3") << 0.0015;
    QTest::newRow("leading point") << QStringLiteral(".5") << 0.5;
    QTest::newRow("trailing point") << QStringLiteral("5.") << 5.0;
    QTest::newRow("beyond 16 bits") << QStringLiteral("40000.25") << 40000.25;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("asterisk") << QStringLiteral("*") << 0.0;
    QTest::newRow("digit and asterisk") << QStringLiteral("5*") << 0.0;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << 0.0;
    QTest::newRow("trailing letters") << QStringLiteral("12abc") << 0.0;
    QTest::newRow("overflow") << QStringLiteral("1e400") << 0.0;
    QTest::newRow("negative overflow") << QStringLiteral("-1e400") << 0.0;
}

void TestNumbers::fieldToDouble()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(FieldToDouble(text), expected);
}

// A German locale writes 2,5; the fields and Val must still read 2.5.
void TestNumbers::pointIsDecimalSeparatorInEveryLocale()
{
    const QLocale previousDefault;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool cLocaleSet = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"})
        cLocaleSet = cLocaleSet || std::setlocale(LC_ALL, name) != nullptr;
    if (!cLocaleSet)
        qInfo("no German C locale installed; only the Qt default locale is German");

    const double fieldValue = FieldToDouble(QStringLiteral("2.5"));
    const double commaValue = FieldToDouble(QStringLiteral("2,5"));
    const int roundedValue = FieldToInt16(QStringLiteral("2.5"));
    const double columnValue = Val("1.5");

    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previousDefault);

    QCOMPARE(fieldValue, 2.5);
    QCOMPARE(commaValue, 0.0);
    QCOMPARE(roundedValue, 2);
    QCOMPARE(columnValue, 1.5);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
