#include "document/Error.h"
#include "images/BmpReader.h"
#include "images/BmpWriter.h"
#include "images/MapPicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <functional>

using namespace kelvarin;

namespace {

constexpr QRgb White = 0xFFFFFFFFu;

void put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

/// Builds the bytes of a BMP file field by field. Unless told otherwise the pixel data
/// follows the colour table (and the masks, for a 40-byte header) directly.
struct Bmp {
    QByteArray magic = "BM";
    quint32 headerSize = 40; // 12 (core), 40, 52, 56, 108, 124, or a bad value
    qint32 width = 1;
    qint32 height = 1; // negative: rows top-down
    quint16 planes = 1;
    quint16 bpp = 24;
    quint32 compression = 0;
    quint32 coloursUsed = 0;
    QList<QRgb> table;    // 3-byte entries for the core header, 4-byte otherwise
    QList<quint32> masks; // red, green, blue (, alpha)
    QByteArray pixels;
    qint64 pixelOffset = -1; // -1: where the data really starts

    QByteArray bytes() const {
        QByteArray info;
        put32(info, headerSize);
        if (headerSize == 12) {
            put16(info, static_cast<quint16>(width));
            put16(info, static_cast<quint16>(height));
            put16(info, planes);
            put16(info, bpp);
        } else {
            put32(info, static_cast<quint32>(width));
            put32(info, static_cast<quint32>(height));
            put16(info, planes);
            put16(info, bpp);
            put32(info, compression);
            put32(info, static_cast<quint32>(pixels.size()));
            put32(info, 2835);
            put32(info, 2835);
            put32(info, coloursUsed);
            put32(info, 0);
            if (headerSize >= 52) {
                for (int i = 0; i < 4; ++i) {
                    put32(info, i < masks.size() ? masks[i] : 0);
                }
            }
            if (info.size() < qsizetype(headerSize) && headerSize <= 4096) {
                info.append(QByteArray(headerSize - info.size(), '\0'));
            }
            info.truncate(qMax<qsizetype>(4, qMin<qsizetype>(info.size(), headerSize)));
            if (headerSize < 52) {
                for (quint32 m : masks) {
                    put32(info, m);
                }
            }
        }
        for (QRgb c : table) {
            info.append(static_cast<char>(qBlue(c)));
            info.append(static_cast<char>(qGreen(c)));
            info.append(static_cast<char>(qRed(c)));
            if (headerSize != 12) {
                info.append('\0');
            }
        }
        const qint64 dataStart = 14 + info.size();
        QByteArray out;
        out.append(magic.left(2));
        put32(out, static_cast<quint32>(dataStart + pixels.size()));
        put32(out, 0);
        put32(out, static_cast<quint32>(pixelOffset < 0 ? dataStart : pixelOffset));
        out.append(info);
        out.append(pixels);
        return out;
    }
};

/// Stored rows for a picture of w by h pixels, each padded to four bytes: bottom-up unless
/// topDown. valueAt gives the index (1, 4, 8 bits), the 16-bit or 32-bit word, or the RGB
/// colour written as blue, green, red (24 bits).
QByteArray packRows(int w, int h, int bpp, bool topDown,
                    const std::function<quint32(int, int)>& valueAt) {
    const int stride = (w * bpp + 31) / 32 * 4;
    QByteArray out;
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        QByteArray row(stride, '\0');
        uchar* p = reinterpret_cast<uchar*>(row.data());
        for (int x = 0; x < w; ++x) {
            const quint32 v = valueAt(x, y);
            switch (bpp) {
            case 1:
                p[x / 8] |= static_cast<uchar>((v & 1) << (7 - x % 8));
                break;
            case 4:
                p[x / 2] |= static_cast<uchar>((v & 15) << (x % 2 == 0 ? 4 : 0));
                break;
            case 8:
                p[x] = static_cast<uchar>(v);
                break;
            case 16:
                qToLittleEndian(static_cast<quint16>(v), p + 2 * x);
                break;
            case 24:
                p[3 * x] = static_cast<uchar>(qBlue(v));
                p[3 * x + 1] = static_cast<uchar>(qGreen(v));
                p[3 * x + 2] = static_cast<uchar>(qRed(v));
                break;
            default:
                qToLittleEndian(v, p + 4 * x);
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

// Colours of the test pictures, and the map colour each one is nearest to.
const QList<QRgb> Sources = {
    qRgb(0, 0, 0),      qRgb(250, 10, 10),   qRgb(120, 5, 5),   qRgb(200, 190, 185),
    qRgb(10, 240, 250), qRgb(0, 128, 0),     qRgb(255, 255, 0), qRgb(128, 128, 128),
    qRgb(60, 60, 200),  qRgb(255, 255, 255),
};
const QList<QRgb> Nearest = {
    qRgb(0, 0, 0),     qRgb(255, 0, 0),     qRgb(128, 0, 0),   qRgb(192, 192, 192),
    qRgb(0, 255, 255), qRgb(0, 128, 0),     qRgb(255, 255, 0), qRgb(128, 128, 128),
    qRgb(0, 0, 255),   qRgb(255, 255, 255),
};

// The test picture: 7 by 5 pixels (odd width, so rows need fill bytes and half-used bytes).
constexpr int PicW = 7;
constexpr int PicH = 5;
int colourIndex(int x, int y, int tableSize) {
    return (x + 3 * y) % tableSize;
}

quint32 rgb555(QRgb c) {
    return (quint32(qRed(c)) >> 3 << 10) | (quint32(qGreen(c)) >> 3 << 5) |
           (quint32(qBlue(c)) >> 3);
}
quint32 rgb565(QRgb c) {
    return (quint32(qRed(c)) >> 3 << 11) | (quint32(qGreen(c)) >> 2 << 5) |
           (quint32(qBlue(c)) >> 3);
}

/// An S by S image: colourAt inside a w by h picture, white outside.
QImage expectedImage(int size, int w, int h, const std::function<QRgb(int, int)>& colourAt) {
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            img.setPixel(x, y, x < w && y < h ? colourAt(x, y) : White);
        }
    }
    return img;
}

/// The test picture as its nearest map colours (tableSize colours used).
QImage expectedNearest(int size, int tableSize = int(Sources.size())) {
    return expectedImage(size, PicW, PicH,
                         [=](int x, int y) { return Nearest[colourIndex(x, y, tableSize)]; });
}

/// Empty when both images hold the same colours, else where they first differ.
QString difference(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    }
    if (actual.format() != QImage::Format_RGB32) {
        return QStringLiteral("format %1, expected Format_RGB32").arg(int(actual.format()));
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y) & 0xFFFFFF;
            const QRgb e = expected.pixel(x, y) & 0xFFFFFF;
            if (a != e) {
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(a, 6, 16, QLatin1Char('0'))
                    .arg(e, 6, 16, QLatin1Char('0'));
            }
        }
    }
    return {};
}

QImage readBytes(const QByteArray& bytes, int size) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readBmpForImport(buffer, size);
}

QString refusal(const QByteArray& bytes, int size = 64) {
    try {
        readBytes(bytes, size);
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(accepted)");
}

/// A 24-bit picture of the test colours, bottom-up.
Bmp picture24(int w = PicW, int h = PicH) {
    Bmp b;
    b.width = w;
    b.height = h;
    b.bpp = 24;
    b.pixels = packRows(w, h, 24, false,
                        [](int x, int y) { return Sources[colourIndex(x, y, Sources.size())]; });
    return b;
}

/// An indexed picture of the test colours: table = the first tableSize colours.
Bmp indexed(int bpp, int tableSize, bool topDown = false) {
    Bmp b;
    b.width = PicW;
    b.height = topDown ? -PicH : PicH;
    b.bpp = static_cast<quint16>(bpp);
    b.table = Sources.mid(0, tableSize);
    b.coloursUsed = static_cast<quint32>(tableSize);
    b.pixels = packRows(PicW, PicH, bpp, topDown,
                        [=](int x, int y) { return quint32(colourIndex(x, y, tableSize)); });
    return b;
}

} // namespace

class TestBmpReader : public QObject {
    Q_OBJECT

private slots:
    void readsVariant_data();
    void readsVariant();
    void refuses_data();
    void refuses();
    void nearestMapColour_data();
    void nearestMapColour();
    void everyMapColourMapsToItself();
    void nearColourDependsOnFormat();
    void shuffledLevelTableKeepsColours();
    void widerPictureIsCutAndPaddedBelow();
    void largerPictureKeepsTopLeft();
    void veryWidePictureIsReadRowByRow_data();
    void veryWidePictureIsReadRowByRow();
    void emptyFileIsAllWhite();
    void hugeDeclaredSizeWithTinyDataIsRefused();
    void readsOwnExport();
    void readsFromCurrentPosition();
    void readsFile();
    void sequentialDeviceIsRefused();
    void missingFileCannotBeOpened();
};

void TestBmpReader::readsVariant_data() {
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<int>("size");
    QTest::addColumn<QImage>("expected");

    constexpr int S = 8; // larger than the picture: column 7 and rows 5 to 7 are added white
    const auto exact = [](int size, int tableSize) {
        return expectedImage(size, PicW, PicH,
                             [=](int x, int y) { return Sources[colourIndex(x, y, tableSize)]; });
    };

    QTest::newRow("1 bpp") << indexed(1, 2).bytes() << S << expectedNearest(S, 2);
    {
        Bmp b = indexed(1, 2);
        b.coloursUsed = 0; // two entries by default
        QTest::newRow("1 bpp, colours used 0") << b.bytes() << S << expectedNearest(S, 2);
    }
    QTest::newRow("4 bpp keeps its own colours") << indexed(4, 10).bytes() << S << exact(S, 10);
    {
        Bmp b = indexed(4, 10);
        b.coloursUsed = 0;
        b.table += QList<QRgb>(6, qRgb(1, 2, 3)); // sixteen entries by default
        QTest::newRow("4 bpp, colours used 0") << b.bytes() << S << exact(S, 10);
    }
    {
        Bmp b = indexed(4, 10);
        b.height = -PicH;
        b.pixels = packRows(PicW, PicH, 4, true,
                            [](int x, int y) { return quint32(colourIndex(x, y, 10)); });
        QTest::newRow("4 bpp top-down") << b.bytes() << S << exact(S, 10);
    }
    QTest::newRow("8 bpp") << indexed(8, 10).bytes() << S << expectedNearest(S, 10);
    {
        Bmp b = indexed(8, 10);
        b.coloursUsed = 0;
        b.table += QList<QRgb>(246, qRgb(1, 2, 3)); // 256 entries by default
        QTest::newRow("8 bpp, colours used 0") << b.bytes() << S << expectedNearest(S, 10);
    }
    QTest::newRow("8 bpp top-down") << indexed(8, 10, true).bytes() << S << expectedNearest(S, 10);
    QTest::newRow("24 bpp") << picture24().bytes() << S << expectedNearest(S);
    {
        Bmp b = picture24();
        b.height = -PicH;
        b.pixels = packRows(PicW, PicH, 24, true,
                            [](int x, int y) { return Sources[colourIndex(x, y, 10)]; });
        QTest::newRow("24 bpp top-down") << b.bytes() << S << expectedNearest(S);
        // Cut to 4 by 4: the top rows are the first stored rows.
        QTest::newRow("24 bpp top-down, cut") << b.bytes() << 4 << expectedNearest(4);
    }
    // The last row may lack its fill bytes.
    QTest::newRow("24 bpp, last row without fill bytes")
        << picture24().bytes().chopped(3) << S << expectedNearest(S);
    // Cut to 4 by 4: the top rows are the last stored rows.
    QTest::newRow("24 bpp bottom-up, cut") << picture24().bytes() << 4 << expectedNearest(4);
    {
        Bmp b = picture24();
        b.bpp = 16;
        b.pixels = packRows(PicW, PicH, 16, false,
                            [](int x, int y) { return rgb555(Sources[colourIndex(x, y, 10)]); });
        QTest::newRow("16 bpp, 5-5-5 without masks") << b.bytes() << S << expectedNearest(S);
        b.compression = 3;
        b.masks = {0x7C00, 0x03E0, 0x001F};
        QTest::newRow("16 bpp, 5-5-5 bit-fields") << b.bytes() << S << expectedNearest(S);
        b.pixels = packRows(PicW, PicH, 16, false,
                            [](int x, int y) { return rgb565(Sources[colourIndex(x, y, 10)]); });
        b.masks = {0xF800, 0x07E0, 0x001F};
        QTest::newRow("16 bpp, 5-6-5 bit-fields after a 40-byte header")
            << b.bytes() << S << expectedNearest(S);
        b.headerSize = 108;
        QTest::newRow("16 bpp, 5-6-5 bit-fields in a 108-byte header")
            << b.bytes() << S << expectedNearest(S);
        b.headerSize = 52;
        QTest::newRow("16 bpp, 5-6-5 bit-fields in a 52-byte header")
            << b.bytes() << S << expectedNearest(S);
    }
    {
        Bmp b = picture24();
        b.bpp = 32;
        b.pixels = packRows(PicW, PicH, 32, false, [](int x, int y) {
            return 0x5A000000u | (Sources[colourIndex(x, y, 10)] & 0xFFFFFF); // unused byte set
        });
        QTest::newRow("32 bpp") << b.bytes() << S << expectedNearest(S);
        b.headerSize = 124;
        QTest::newRow("32 bpp, 124-byte header") << b.bytes() << S << expectedNearest(S);

        // Blue in the low byte would be the default; these masks swap red and blue.
        b.headerSize = 40;
        b.compression = 3;
        b.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
        b.pixels = packRows(PicW, PicH, 32, false, [](int x, int y) {
            const QRgb c = Sources[colourIndex(x, y, 10)];
            return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
        });
        QTest::newRow("32 bpp bit-fields") << b.bytes() << S << expectedNearest(S);
        b.headerSize = 56;
        b.masks.append(0xFF000000);
        QTest::newRow("32 bpp bit-fields, 56-byte header") << b.bytes() << S << expectedNearest(S);
        b.headerSize = 40;
        b.compression = 6;
        QTest::newRow("32 bpp alpha bit-fields") << b.bytes() << S << expectedNearest(S);
    }
    {
        Bmp b = indexed(8, 10);
        b.headerSize = 12;
        b.coloursUsed = 0;
        b.table = Sources + QList<QRgb>(246, qRgb(1, 2, 3));
        QTest::newRow("8 bpp, core header") << b.bytes() << S << expectedNearest(S, 10);
        b.headerSize = 124;
        QTest::newRow("8 bpp, 124-byte header") << b.bytes() << S << expectedNearest(S, 10);
        b.headerSize = 108;
        QTest::newRow("8 bpp, 108-byte header") << b.bytes() << S << expectedNearest(S, 10);
    }
    {
        Bmp b = picture24();
        b.headerSize = 12;
        QTest::newRow("24 bpp, core header") << b.bytes() << S << expectedNearest(S);
        b.headerSize = 108;
        QTest::newRow("24 bpp, 108-byte header") << b.bytes() << S << expectedNearest(S);
    }
    {
        Bmp b = indexed(4, 16);
        b.headerSize = 12;
        b.table = Sources + QList<QRgb>(6, qRgb(1, 2, 3));
        b.pixels = packRows(PicW, PicH, 4, false,
                            [](int x, int y) { return quint32(colourIndex(x, y, 10)); });
        QTest::newRow("4 bpp, core header") << b.bytes() << S << exact(S, 10);
    }
    {
        // A colours-used count above 2^bpp: only two entries are read, the data follows them.
        Bmp b = indexed(1, 2);
        b.coloursUsed = 300;
        QTest::newRow("1 bpp, colours used above 2") << b.bytes() << S << expectedNearest(S, 2);
    }
    {
        // Indices 2 and up lie beyond a two-entry table and read as white.
        Bmp b = indexed(8, 2);
        b.pixels = packRows(PicW, PicH, 8, false,
                            [](int x, int y) { return quint32(colourIndex(x, y, 4)); });
        QTest::newRow("8 bpp, index beyond the table")
            << b.bytes() << S << expectedImage(S, PicW, PicH, [](int x, int y) {
                   const int i = colourIndex(x, y, 4);
                   return i < 2 ? Nearest[i] : White;
               });
        b.bpp = 4;
        b.pixels = packRows(PicW, PicH, 4, false,
                            [](int x, int y) { return quint32(colourIndex(x, y, 4)); });
        QTest::newRow("4 bpp, index beyond the table")
            << b.bytes() << S << expectedImage(S, PicW, PicH, [](int x, int y) {
                   const int i = colourIndex(x, y, 4);
                   return i < 2 ? Sources[i] : White;
               });
    }

    // Run-length data, bottom row first. Indices of the 6 by 4 picture, top row first:
    //   0 0 9 9 9 9   <- reached by the delta, then an encoded run
    //   0 0 0 0 0 0   <- skipped by the delta
    //   7 7 0 0 0 0   <- an encoded run, then end of line
    //   5 5 5 1 2 3   <- an encoded run and an absolute run of three (one fill byte)
    const QList<QList<int>> rleIndices = {
        {0, 0, 9, 9, 9, 9}, {0, 0, 0, 0, 0, 0}, {7, 7, 0, 0, 0, 0}, {5, 5, 5, 1, 2, 3}};
    const auto fromIndices = [](int size, const QList<QList<int>>& rows, bool ownTable) {
        return expectedImage(size, int(rows[0].size()), int(rows.size()), [&](int x, int y) {
            const int i = rows[y][x];
            return ownTable ? Sources[i] : Nearest[i];
        });
    };
    {
        Bmp b;
        b.width = 6;
        b.height = 4;
        b.bpp = 8;
        b.compression = 1;
        b.table = Sources;
        b.coloursUsed = 10;
        b.pixels = bytesOf({3, 5, 0, 3, 1, 2, 3, 0, // three 5s, absolute 1 2 3 and a fill byte
                            0, 0,                   // end of line
                            2, 7, 0, 0,             // two 7s, end of line
                            0, 2, 2, 1,             // delta: 2 right, 1 up
                            4, 9, 0, 1});           // four 9s, end of bitmap
        QTest::newRow("RLE8") << b.bytes() << S << fromIndices(S, rleIndices, false);
        // Cut to 3 by 3: the top rows are the last decoded.
        QTest::newRow("RLE8, cut") << b.bytes() << 3 << fromIndices(3, rleIndices.mid(0, 3), false);
    }
    {
        // Absolute runs of five (three bytes and a fill byte) and an encoded run of 9 6 9 6.
        Bmp b;
        b.width = 6;
        b.height = 4;
        b.bpp = 4;
        b.compression = 2;
        b.table = Sources;
        b.coloursUsed = 10;
        b.pixels = bytesOf({0, 5,    0x12, 0x34, 0x50, 0, // absolute 1 2 3 4 5, fill byte
                            1, 0x55, 0,    0,             // one 5, end of line
                            2, 0x77, 0,    0,             // two 7s, end of line
                            0, 2,    2,    1,             // delta: 2 right, 1 up
                            4, 0x96, 0,    1});           // 9 6 9 6, end of bitmap
        const QList<QList<int>> indices = {
            {0, 0, 9, 6, 9, 6}, {0, 0, 0, 0, 0, 0}, {7, 7, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 5}};
        QTest::newRow("RLE4") << b.bytes() << S << fromIndices(S, indices, false);
    }
    {
        // A run longer than the row is cut at the picture's edge; data that stops at the end
        // of the top row needs no end-of-bitmap.
        Bmp b;
        b.width = 2;
        b.height = 1;
        b.bpp = 8;
        b.compression = 1;
        b.table = Sources;
        b.coloursUsed = 10;
        b.pixels = bytesOf({5, 9, 0, 0});
        QTest::newRow("RLE8, run past the edge, no end of bitmap")
            << b.bytes() << S << fromIndices(S, {{9, 9}}, false);
    }
}

void TestBmpReader::readsVariant() {
    QFETCH(QByteArray, bmp);
    QFETCH(int, size);
    QFETCH(QImage, expected);
    QImage read;
    try {
        read = readBytes(bmp, size);
    } catch (const Error& e) {
        QFAIL(qPrintable(QStringLiteral("refused: ") + e.message()));
    }
    const QString diff = difference(read, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::refuses_data() {
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<QString>("message");

    const QString readError = QStringLiteral("Stream read error");
    const QString notValid = QStringLiteral("Bitmap image is not valid");
    const QByteArray good = picture24().bytes();
    QVERIFY(refusal(good) == QStringLiteral("(accepted)"));

    QTest::newRow("13 bytes") << good.left(13) << readError;
    QTest::newRow("1 byte") << good.left(1) << readError;
    QTest::newRow("file header only") << good.left(14) << notValid;
    QTest::newRow("info header cut short") << good.left(30) << notValid;
    {
        Bmp b = picture24();
        b.magic = "BX";
        QTest::newRow("BX") << b.bytes() << notValid;
        b.magic = "MB";
        QTest::newRow("MB") << b.bytes() << notValid;
    }
    {
        Bmp b = picture24();
        b.planes = 2;
        QTest::newRow("two planes") << b.bytes() << notValid;
        b.planes = 0;
        QTest::newRow("no plane") << b.bytes() << notValid;
    }
    for (int bpp : {0, 2, 3, 15, 48, 64}) {
        Bmp b = picture24();
        b.bpp = static_cast<quint16>(bpp);
        QTest::addRow("%d bpp", bpp) << b.bytes() << notValid;
    }
    {
        Bmp b = picture24();
        b.compression = 4;
        QTest::newRow("JPEG compression") << b.bytes() << notValid;
        b.compression = 5;
        QTest::newRow("PNG compression") << b.bytes() << notValid;
        b.compression = 1;
        QTest::newRow("RLE8 with 24 bpp") << b.bytes() << notValid;
        b.compression = 3;
        b.masks = {0xFF0000, 0xFF00, 0xFF};
        QTest::newRow("bit-fields with 24 bpp") << b.bytes() << notValid;
    }
    {
        Bmp b = indexed(8, 10);
        b.compression = 2;
        QTest::newRow("RLE4 with 8 bpp") << b.bytes() << notValid;
        b = indexed(4, 10);
        b.compression = 1;
        QTest::newRow("RLE8 with 4 bpp") << b.bytes() << notValid;
        b = indexed(8, 10);
        b.compression = 3;
        QTest::newRow("bit-fields with 8 bpp") << b.bytes() << notValid;
    }
    {
        Bmp b = indexed(8, 10);
        b.compression = 1;
        b.height = -PicH;
        b.pixels = bytesOf({0, 1});
        QTest::newRow("top-down RLE8") << b.bytes() << notValid;
        b = indexed(4, 10);
        b.compression = 2;
        b.height = -PicH;
        b.pixels = bytesOf({0, 1});
        QTest::newRow("top-down RLE4") << b.bytes() << notValid;
    }
    for (quint32 headerSize : {0u, 16u, 39u, 64000u, 0xFFFFFFF0u}) {
        Bmp b = picture24();
        b.headerSize = headerSize;
        QTest::addRow("info header of %u bytes", headerSize) << b.bytes() << notValid;
    }
    {
        Bmp b = picture24();
        b.width = 0;
        QTest::newRow("width 0") << b.bytes() << notValid;
        b.width = -PicW;
        QTest::newRow("negative width") << b.bytes() << notValid;
        b.width = PicW;
        b.height = 0;
        QTest::newRow("height 0") << b.bytes() << notValid;
        b.headerSize = 12;
        QTest::newRow("height 0, core header") << b.bytes() << notValid;
        b.height = PicH;
        b.width = 0;
        QTest::newRow("width 0, core header") << b.bytes() << notValid;
    }
    {
        Bmp b = picture24();
        b.width = 0x7FFFFFFF;
        QTest::newRow("width 0x7fffffff") << b.bytes() << notValid;
        b.width = PicW;
        b.height = qint32(0x80000000u);
        QTest::newRow("height -2^31") << b.bytes() << notValid;
    }
    {
        const QByteArray whole = picture24().bytes();
        // The last row may lack its fill byte, not a pixel byte.
        QTest::newRow("pixel data ends early") << whole.chopped(4) << notValid;
        QTest::newRow("pixel data missing") << whole.left(54) << notValid;
        Bmp b = picture24();
        b.pixelOffset = whole.size() + 1;
        QTest::newRow("offset beyond the file") << b.bytes() << notValid;
        b.pixelOffset = 0xFFFFFFFF;
        QTest::newRow("offset 0xffffffff") << b.bytes() << notValid;
        b.pixelOffset = 20;
        QTest::newRow("offset inside the header") << b.bytes() << notValid;
        b.pixelOffset = 54 + 8;
        QTest::newRow("offset leaves too few rows") << b.bytes() << notValid;
    }
    {
        Bmp b = indexed(8, 10);
        b.coloursUsed = 0; // 256 entries that the file doesn't hold
        QTest::newRow("colour table beyond the file") << b.bytes() << notValid;
        b = indexed(8, 10);
        b.headerSize = 12; // a core table has 256 entries of 3 bytes
        QTest::newRow("core colour table beyond the file") << b.bytes() << notValid;
    }
    {
        Bmp b = picture24();
        b.bpp = 16;
        b.compression = 3;
        b.pixels.clear();
        QTest::newRow("bit-field masks beyond the file") << b.bytes() << notValid;
    }
    {
        Bmp b = indexed(8, 10);
        b.compression = 1;
        b.pixels = bytesOf({3, 5, 0, 0, 2, 7});
        QTest::newRow("RLE8 without end of bitmap") << b.bytes() << notValid;
        b.pixels = bytesOf({0, 5, 1, 2, 3});
        QTest::newRow("RLE8 absolute run cut short") << b.bytes() << notValid;
        b.pixels = bytesOf({0, 3, 1, 2, 3});
        QTest::newRow("RLE8 fill byte missing") << b.bytes() << notValid;
        b.pixels = bytesOf({0, 2, 1});
        QTest::newRow("RLE8 delta cut short") << b.bytes() << notValid;
        b.pixels = bytesOf({3});
        QTest::newRow("RLE8 odd byte") << b.bytes() << notValid;
        b.pixels.clear();
        QTest::newRow("RLE8 no data") << b.bytes() << notValid;
        b = indexed(4, 10);
        b.compression = 2;
        b.pixels = bytesOf({0, 5, 0x12, 0x34});
        QTest::newRow("RLE4 absolute run cut short") << b.bytes() << notValid;
    }
    QTest::newRow("PNG") << QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000010000000"
                                                "100802000000909168360000000c4944415478da63")
                         << notValid;
    QTest::newRow("ICO") << QByteArray::fromHex("0000010001001010000001002000680400001600000028"
                                                "000000100000002000000001002000000000000004")
                         << notValid;
    QTest::newRow("JPEG") << QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000ffdb"
                                                 "004300080606070605080707070909080a0c140d0c0b")
                          << notValid;
    QTest::newRow("OS/2 bitmap array")
        << QByteArray("BA\x28\0\0\0\0\0\0\0\x0e\0\0\0", 14) + good << notValid;
    QTest::newRow("text") << QByteArray("This is not a picture at all.\n") << notValid;
}

void TestBmpReader::refuses() {
    QFETCH(QByteArray, bmp);
    QFETCH(QString, message);
    QCOMPARE(refusal(bmp, 128), message);
    QCOMPARE(refusal(bmp, 64), message);
}

void TestBmpReader::nearestMapColour_data() {
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QRgb>("nearest");

    QTest::newRow("(250,10,10) is red") << qRgb(250, 10, 10) << qRgb(255, 0, 0);
    QTest::newRow("near silver") << qRgb(200, 190, 185) << qRgb(192, 192, 192);
    QTest::newRow("near white") << qRgb(224, 224, 224) << qRgb(255, 255, 255);
    QTest::newRow("alpha is ignored") << qRgba(0, 0, 255, 0) << qRgb(0, 0, 255);
    // Equally near entries: the lowest index wins.
    QTest::newRow("black (0) before maroon (1)") << qRgb(64, 0, 0) << qRgb(0, 0, 0);
    QTest::newRow("black (0) before gray (7)") << qRgb(64, 64, 64) << qRgb(0, 0, 0);
    QTest::newRow("gray (7) before silver (8)") << qRgb(160, 160, 160) << qRgb(128, 128, 128);
    QTest::newRow("maroon (1) before purple (5)") << qRgb(128, 0, 64) << qRgb(128, 0, 0);
}

void TestBmpReader::nearestMapColour() {
    QFETCH(QRgb, colour);
    QFETCH(QRgb, nearest);
    QCOMPARE(kelvarin::nearestMapColour(colour), nearest);
}

void TestBmpReader::everyMapColourMapsToItself() {
    const QList<QRgb>& palette = MapPalette();
    QCOMPARE(palette.size(), 16);
    for (QRgb c : palette) {
        QCOMPARE(kelvarin::nearestMapColour(c), c | 0xFF000000u);
    }
    // The same through a 24-bit and an 8-bit picture: one pixel of each map colour.
    Bmp b24;
    b24.width = 16;
    b24.bpp = 24;
    b24.pixels = packRows(16, 1, 24, false, [&](int x, int) { return palette[x]; });
    Bmp b8 = b24;
    b8.bpp = 8;
    b8.table = palette;
    b8.coloursUsed = 16;
    b8.pixels = packRows(16, 1, 8, false, [](int x, int) { return quint32(x); });
    const QImage expected = expectedImage(16, 16, 1, [&](int x, int) { return palette[x]; });
    for (const Bmp& b : {b24, b8}) {
        const QString diff = difference(readBytes(b.bytes(), 16), expected);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

void TestBmpReader::nearColourDependsOnFormat() {
    const QRgb nearRed = qRgb(250, 10, 10);
    Bmp b24;
    b24.bpp = 24;
    b24.pixels = packRows(1, 1, 24, false, [&](int, int) { return nearRed; });
    QCOMPARE(readBytes(b24.bytes(), 64).pixel(0, 0), qRgb(255, 0, 0));

    // In an uncompressed 4-bit picture the colour of its own table stays as it is.
    Bmp b4;
    b4.bpp = 4;
    b4.table = {qRgb(0, 0, 0), nearRed};
    b4.coloursUsed = 2;
    b4.pixels = packRows(1, 1, 4, false, [](int, int) { return 1u; });
    QCOMPARE(readBytes(b4.bytes(), 64).pixel(0, 0), nearRed);

    // The same 4-bit picture run-length encoded is converted like any other.
    b4.compression = 2;
    b4.pixels = bytesOf({1, 0x10, 0, 1});
    QCOMPARE(readBytes(b4.bytes(), 64).pixel(0, 0), qRgb(255, 0, 0));

    // And an 8-bit picture with that table entry too.
    Bmp b8 = b4;
    b8.bpp = 8;
    b8.compression = 0;
    b8.pixels = packRows(1, 1, 8, false, [](int, int) { return 1u; });
    QCOMPARE(readBytes(b8.bytes(), 64).pixel(0, 0), qRgb(255, 0, 0));
}

void TestBmpReader::shuffledLevelTableKeepsColours() {
    // The level colours listed in reverse: index i shows MapPalette entry 15 - i.
    QList<QRgb> reversed = MapPalette();
    std::reverse(reversed.begin(), reversed.end());
    Bmp b;
    b.width = 16;
    b.height = 1;
    b.bpp = 4;
    b.table = reversed;
    b.coloursUsed = 16;
    b.pixels = packRows(16, 1, 4, false, [](int x, int) { return quint32(x); });
    const QImage img = readBytes(b.bytes(), 64);
    for (int x = 0; x < 16; ++x) {
        QCOMPARE(img.pixel(x, 0), MapPalette()[15 - x] | 0xFF000000u);
    }
}

void TestBmpReader::widerPictureIsCutAndPaddedBelow() {
    // 200 by 100: the left 128 columns are kept, rows 100 to 127 are added white.
    const auto colourAt = [](int x, int y) { return MapPalette()[(x / 3 + y) % 15]; };
    Bmp b;
    b.width = 200;
    b.height = 100;
    b.bpp = 24;
    b.pixels = packRows(200, 100, 24, false, colourAt);
    const QString diff =
        difference(readBytes(b.bytes(), 128), expectedImage(128, 200, 100, colourAt));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::largerPictureKeepsTopLeft() {
    // 256 by 256 in 8 bits: only the top-left 64 by 64 pixels count.
    const auto indexAt = [](int x, int y) { return quint32((x * 7 + y * 3) % 15); };
    Bmp b;
    b.width = 256;
    b.height = 256;
    b.bpp = 8;
    b.table = MapPalette();
    b.coloursUsed = 16;
    b.pixels = packRows(256, 256, 8, false, indexAt);
    const QString diff = difference(
        readBytes(b.bytes(), 64),
        expectedImage(64, 256, 256, [&](int x, int y) { return MapPalette()[indexAt(x, y)]; }));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::veryWidePictureIsReadRowByRow_data() {
    QTest::addColumn<bool>("topDown");
    QTest::newRow("bottom-up") << false;
    QTest::newRow("top-down") << true;
}

void TestBmpReader::veryWidePictureIsReadRowByRow() {
    // The 128 kept rows of a 4000-pixel-wide 24-bit picture span more than a mebibyte of the
    // file, so they are read one at a time instead of in one block.
    QFETCH(bool, topDown);
    const auto colourAt = [](int x, int y) { return MapPalette()[(x + 2 * y) % 16]; };
    Bmp b;
    b.width = 4000;
    b.height = topDown ? -300 : 300;
    b.bpp = 24;
    b.pixels = packRows(4000, 300, 24, topDown, colourAt);
    const QString diff =
        difference(readBytes(b.bytes(), 128), expectedImage(128, 4000, 300, colourAt));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::emptyFileIsAllWhite() {
    for (int size : {128, 64}) {
        const QString diff = difference(readBytes(QByteArray(), size),
                                        expectedImage(size, 0, 0, [](int, int) { return 0u; }));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

void TestBmpReader::hugeDeclaredSizeWithTinyDataIsRefused() {
    const QString notValid = QStringLiteral("Bitmap image is not valid");
    // Uncompressed: about 2^31 by 2^31 pixels declared, a handful of bytes given.
    Bmp b = picture24();
    b.width = 0x7FFFFFFF;
    b.height = 0x7FFFFFFF;
    QCOMPARE(refusal(b.bytes()), notValid);
    b.bpp = 1;
    b.height = 1;
    QCOMPARE(refusal(b.bytes()), notValid);
    b.headerSize = 12;
    b.width = 0xFFFF;
    b.height = 0xFFFF;
    b.bpp = 24;
    QCOMPARE(refusal(b.bytes()), notValid);
    // Run-length: a pixel array of more than 2^31 - 1 bytes.
    b = indexed(8, 10);
    b.compression = 1;
    b.width = 0x7FFFFFFF;
    b.height = 0x7FFFFFFF;
    b.pixels = bytesOf({0, 1});
    QCOMPARE(refusal(b.bytes()), notValid);
    // A large run-length picture that ends at once is read; only its top-left pixels are kept,
    // all skipped (index 0).
    b.width = 40000;
    b.height = 40000;
    const QImage img = readBytes(b.bytes(), 128);
    QCOMPARE(img.size(), QSize(128, 128));
    QCOMPARE(img.pixel(0, 0), Nearest[0]);
    QCOMPARE(img.pixel(127, 127), Nearest[0]);
}

void TestBmpReader::readsOwnExport() {
    QImage picture = makeMapPicture(128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            picture.setPixel(x, y, uint((x * 5 + y * 11) % 16));
        }
    }
    const QString diff =
        difference(readBytes(encodeBmp4(picture), 128),
                   expectedImage(128, 128, 128, [&](int x, int y) { return picture.pixel(x, y); }));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::readsFromCurrentPosition() {
    QByteArray bytes = "junk" + picture24().bytes();
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QVERIFY(buffer.seek(4));
    const QString diff = difference(readBmpForImport(buffer, 8), expectedNearest(8));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestBmpReader::readsFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(indexed(4, 10).bytes());
    f.close();
    const QString diff = difference(
        readBmpForImport(path, 8),
        expectedImage(8, PicW, PicH, [](int x, int y) { return Sources[colourIndex(x, y, 10)]; }));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // An empty file on disk: all white.
    QFile empty(dir.filePath(QStringLiteral("empty.bmp")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QCOMPARE(readBmpForImport(empty.fileName(), 64).pixel(63, 63), White);
}

void TestBmpReader::sequentialDeviceIsRefused() {
    // The reader seeks to the rows it needs, which a pipe or socket can't do.
    struct SequentialBuffer : QBuffer {
        bool isSequential() const override { return true; }
    };
    SequentialBuffer buffer;
    buffer.setData(picture24().bytes());
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    try {
        readBmpForImport(buffer, 64);
        QFAIL("a sequential device was read");
    } catch (const Error& e) {
        QCOMPARE(e.message(), QStringLiteral("Stream read error"));
    }
}

void TestBmpReader::missingFileCannotBeOpened() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing.bmp"));
    QFile probe(path);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    try {
        readBmpForImport(path, 128);
        QFAIL("a missing file was read");
    } catch (const Error& e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2")
                                  .arg(QFileInfo(path).absoluteFilePath(), probe.errorString()));
    }

    // A relative path is reported in full.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    try {
        readBmpForImport(QStringLiteral("missing.bmp"), 128);
        QDir::setCurrent(cwd);
        QFAIL("a missing file was read");
    } catch (const Error& e) {
        QDir::setCurrent(cwd);
        QVERIFY2(e.message().startsWith(
                     QStringLiteral("Cannot open file \"%1\". ")
                         .arg(QDir(dir.path()).absoluteFilePath(QStringLiteral("missing.bmp")))),
                 qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestBmpReader)
#include "tst_bmpreader.moc"
