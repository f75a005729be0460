#include "images/BmpWriter.h"
#include "images/MapPicture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kelvarin;

class TestBmpWriter : public QObject {
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void colourTableIsMapPalette();
    void writesThePicturesOwnTable();
    void newMapIsAllWhite_data();
    void newMapIsAllWhite();
    void rowsAreBottomUpHighNibbleFirst();
    void qtReadsTheSamePixels_data();
    void qtReadsTheSamePixels();
};

void TestBmpWriter::headers_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<QByteArray>("header");

    // File header ("BM", file size, reserved, pixel offset 118), then the 40-byte info header
    // (size 40, width, height, 1 plane, 4 bits, no compression, pixel bytes, no resolution,
    // 16 colours used, 0 important).
    QTest::newRow("128") << 128 << 8310
                         << QByteArray::fromHex("424d76200000000000007600000028000000800000008000"
                                                "000001000400000000000020000000000000000000001000"
                                                "000000000000");
    QTest::newRow("64") << 64 << 2166
                        << QByteArray::fromHex("424d76080000000000007600000028000000400000004000"
                                               "000001000400000000000008000000000000000000001000"
                                               "000000000000");
}

void TestBmpWriter::headers() {
    QFETCH(int, size);
    QFETCH(int, fileSize);
    QFETCH(QByteArray, header);
    QCOMPARE(header.size(), 54);
    const QByteArray bytes = encodeBmp4(makeMapPicture(size));
    QCOMPARE(bytes.size(), fileSize);
    QCOMPARE(bytes.left(54).toHex(' '), header.toHex(' '));
}

void TestBmpWriter::colourTableIsMapPalette() {
    // Blue, green, red, 0 for each of the 16 entries, index 0 first.
    const QByteArray expected = QByteArray::fromHex("00000000 00008000 00800000 00808000"
                                                    "80000000 80008000 80800000 80808000"
                                                    "c0c0c000 0000ff00 00ff0000 00ffff00"
                                                    "ff000000 ff00ff00 ffff0000 ffffff00");
    QCOMPARE(encodeBmp4(makeMapPicture(128)).mid(54, 64).toHex(' '), expected.toHex(' '));
    QCOMPARE(encodeBmp4(makeMapPicture(64)).mid(54, 64).toHex(' '), expected.toHex(' '));
}

void TestBmpWriter::writesThePicturesOwnTable() {
    QImage picture = makeMapPicture(64);
    QList<QRgb> table = MapPalette();
    table[3] = qRgb(0x12, 0x34, 0x56);
    picture.setColorTable(table);
    QCOMPARE(encodeBmp4(picture).mid(54 + 12, 4).toHex(), QByteArray("56341200"));
}

void TestBmpWriter::newMapIsAllWhite_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("128") << 128;
    QTest::newRow("64") << 64;
}

void TestBmpWriter::newMapIsAllWhite() {
    QFETCH(int, size);
    const QByteArray pixels = encodeBmp4(makeMapPicture(size)).mid(118);
    QCOMPARE(pixels, QByteArray(size * size / 2, '\xFF'));
}

void TestBmpWriter::rowsAreBottomUpHighNibbleFirst() {
    QImage picture = makeMapPicture(128);
    picture.setPixel(0, 127, 3);  // bottom row, first stored: offset 118, high nibble
    picture.setPixel(2, 127, 5);  // offset 119, high nibble
    picture.setPixel(3, 127, 6);  // offset 119, low nibble
    picture.setPixel(0, 126, 1);  // second stored row: offset 118 + 64
    picture.setPixel(0, 0, 9);    // top row, last stored: offset 118 + 127 * 64
    picture.setPixel(127, 0, 12); // the last byte, low nibble
    const QByteArray bytes = encodeBmp4(picture);
    QCOMPARE(quint8(bytes[118]), quint8(0x3F)); // (1, 127) stays white
    QCOMPARE(quint8(bytes[119]), quint8(0x56));
    QCOMPARE(quint8(bytes[118 + 64]), quint8(0x1F));
    QCOMPARE(quint8(bytes[118 + 127 * 64]), quint8(0x9F));
    QCOMPARE(quint8(bytes[8309]), quint8(0xFC));

    picture = makeMapPicture(128);
    picture.setPixel(1, 127, 0);
    QCOMPARE(quint8(encodeBmp4(picture)[118]), quint8(0xF0));
}

void TestBmpWriter::qtReadsTheSamePixels_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("128") << 128;
    QTest::newRow("64") << 64;
}

void TestBmpWriter::qtReadsTheSamePixels() {
    // Qt's own BMP reader as an independent check of the layout.
    QFETCH(int, size);
    QRandomGenerator random(20240611u + uint(size));
    QImage picture = makeMapPicture(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            picture.setPixel(x, y, random.bounded(16u));
        }
    }
    const QImage read = QImage::fromData(encodeBmp4(picture), "BMP");
    QVERIFY(!read.isNull());
    QCOMPARE(read.size(), QSize(size, size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (read.pixel(x, y) != picture.pixel(x, y)) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestBmpWriter)
#include "tst_bmpwriter.moc"
