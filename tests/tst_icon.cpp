// The program icon as built into the executable: the twelve images that its
// .ico directory lists, by size and colour depth, and Qt decoding each of them.

#include <QFile>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

class TestIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twelveImages()
    {
        QFile file(QStringLiteral(":/icons/tarvel.ico"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const QByteArray ico = file.readAll();
        QVERIFY(ico.size() >= 6 + 12 * 16);
        const auto word = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
        QCOMPARE(word(0), 0); // reserved
        QCOMPARE(word(2), 1); // an icon, not a cursor
        QCOMPARE(word(4), 12);

        const auto side = [&](qsizetype at) { return quint8(ico.at(at)) ? quint8(ico.at(at)) : 256; }; // 0 is 256
        const QList<QPair<int, int>> sizeAndBits{{32, 1},   {48, 4},   {32, 4},   {16, 4},  {48, 8},  {32, 8},
                                                 {16, 8},   {256, 32}, {128, 32}, {48, 32}, {32, 32}, {16, 32}};
        QImageReader reader(file.fileName());
        QCOMPARE(reader.imageCount(), 12);
        for (int index = 0; index < 12; ++index) {
            const auto [size, bits] = sizeAndBits[index];
            const qsizetype entry = 6 + 16 * index; // width, height, ..., bits per pixel at 6
            QCOMPARE(QPair(QSize(side(entry), side(entry + 1)), int(word(entry + 6))), QPair(QSize(size, size), bits));
            QVERIFY(reader.jumpToImage(index));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.size(), QSize(size, size));
            // The artwork leaves the leftmost column clear and is opaque in its middle.
            QVERIFY(image.pixelColor(0, size / 2).alpha() == 0 && image.pixelColor(size / 2, size / 2).alpha() == 255);
        }
    }
};

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
