// The program icon as built into the executable: the .ico's twelve images,
// their sizes and colour depths as written in the file, and whether Qt decodes
// each of them with its transparent surround.

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

namespace {

const QString IconPath = QStringLiteral(":/icons/tarvel.ico");

struct IconEntry {
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int planes = 0;
    int bitCount = 0;
    qsizetype dataSize = 0;
    qsizetype dataOffset = 0;
};

quint16 Word(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 DWord(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// One 16-byte ICONDIRENTRY; a stored width or height of 0 means 256.
IconEntry EntryAt(const QByteArray &ico, int index)
{
    const qsizetype at = 6 + 16 * index;
    const auto dimension = [&](qsizetype offset) {
        const int stored = quint8(ico.at(at + offset));
        return stored == 0 ? 256 : stored;
    };
    IconEntry entry;
    entry.width = dimension(0);
    entry.height = dimension(1);
    entry.colourCount = quint8(ico.at(at + 2));
    entry.planes = Word(ico, at + 4);
    entry.bitCount = Word(ico, at + 6);
    entry.dataSize = DWord(ico, at + 8);
    entry.dataOffset = DWord(ico, at + 12);
    return entry;
}

qsizetype RowBytes(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The exact size of a BITMAPINFOHEADER image: header, palette, colour bits, AND mask.
qsizetype DibSize(int size, int bits)
{
    const qsizetype palette = bits <= 8 ? 4 * (qsizetype(1) << bits) : 0;
    return 40 + palette + size * RowBytes(size, bits) + size * RowBytes(size, 1);
}

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

class TestIcon : public QObject {
    Q_OBJECT

    QByteArray ico;

private Q_SLOTS:
    void initTestCase();
    void directoryHoldsTwelveImages();
    void image_data();
    void image();
    void windowIconOffersEverySize();
    void themePng_data();
    void themePng();
};

void TestIcon::initTestCase()
{
    QFile file(IconPath);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    ico = file.readAll();
    QVERIFY(ico.size() >= 6 + 16 * 12);
}

void TestIcon::directoryHoldsTwelveImages()
{
    QCOMPARE(Word(ico, 0), 0);  // reserved
    QCOMPARE(Word(ico, 2), 1);  // 1: icon, 2: cursor
    QCOMPARE(Word(ico, 4), 12);
    QImageReader reader(IconPath);
    QCOMPARE(reader.imageCount(), 12);
}

void TestIcon::image_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bits");

    const struct { int size; int bits; } images[] = {
        {32, 1}, {48, 4}, {32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8},
        {256, 32}, {128, 32}, {48, 32}, {32, 32}, {16, 32},
    };
    int index = 0;
    for (const auto &image : images) {
        QTest::addRow("%dpx %dbpp", image.size, image.bits) << index++ << image.size << image.bits;
    }
}

void TestIcon::image()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, bits);

    const IconEntry entry = EntryAt(ico, index);
    QCOMPARE(entry.width, size);
    QCOMPARE(entry.height, size);
    QCOMPARE(entry.bitCount, bits);
    QCOMPARE(entry.planes, 1);
    QCOMPARE(entry.colourCount, bits < 8 ? 1 << bits : 0);
    QVERIFY(entry.dataOffset + entry.dataSize <= ico.size());

    const QByteArray data = ico.mid(entry.dataOffset, entry.dataSize);
    if (data.startsWith(PngSignature)) {
        QCOMPARE(size, 256);  // only the largest image is stored compressed
        QCOMPARE(qFromBigEndian<quint32>(data.constData() + 16), quint32(size));
        QCOMPARE(qFromBigEndian<quint32>(data.constData() + 20), quint32(size));
    } else {
        QCOMPARE(DWord(data, 0), 40u);                    // BITMAPINFOHEADER
        QCOMPARE(qint32(DWord(data, 4)), size);
        QCOMPARE(qint32(DWord(data, 8)), 2 * size);       // colour bits and AND mask
        QCOMPARE(int(Word(data, 14)), bits);
        QCOMPARE(DWord(data, 16), 0u);                    // uncompressed
        QCOMPARE(data.size(), DibSize(size, bits));
    }

    QImageReader reader(IconPath);
    QVERIFY(reader.jumpToImage(index));
    const QImage decoded = reader.read();
    QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(decoded.size(), QSize(size, size));
    // The sheet leaves the leftmost column clear and is opaque in its middle.
    QCOMPARE(decoded.pixelColor(0, size / 2).alpha(), 0);
    QCOMPARE(decoded.pixelColor(size / 2, size / 2).alpha(), 255);
}

void TestIcon::windowIconOffersEverySize()
{
    const QList<QSize> sizes = QIcon(IconPath).availableSizes();
    for (int size : {16, 32, 48, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
}

void TestIcon::themePng_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 128, 256}) {
        QTest::addRow("%dpx", size) << size;
    }
}

void TestIcon::themePng()
{
    QFETCH(int, size);
    const QImage image(QStringLiteral(":/icons/tarvel-%1.png").arg(size));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
}

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
