#include "images/BmpWriter.h"

#include "images/MapPicture.h"

#include <QtEndian>

namespace kelvarin {

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int TableEntries = 16;
constexpr int PixelOffset = FileHeaderSize + InfoHeaderSize + TableEntries * 4; // 118

void put16(char* p, quint16 value) {
    qToLittleEndian(value, p);
}

void put32(char* p, quint32 value) {
    qToLittleEndian(value, p);
}

} // namespace

QByteArray encodeBmp4(const QImage& image) {
    // A map picture is already 8-bit indexed; anything else is brought to that form first so
    // that the rows below can be read one byte a pixel.
    const QImage picture =
        image.format() == QImage::Format_Indexed8
            ? image
            : image.convertToFormat(QImage::Format_Indexed8,
                                    image.colorTable().isEmpty() ? MapPalette()
                                                                 : image.colorTable(),
                                    Qt::ThresholdDither | Qt::AvoidDither);
    const int width = picture.width();
    const int height = picture.height();
    // Two pixels a byte, each row filled up to a multiple of four bytes.
    const int stride = ((width * 4 + 31) / 32) * 4;
    const int pixelBytes = stride * height;

    QByteArray out(PixelOffset + pixelBytes, '\0');
    char* p = out.data();

    // File header.
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<quint32>(out.size()));
    put32(p + 6, 0);
    put32(p + 10, PixelOffset);

    // Info header: positive height, so the rows are stored bottom-up.
    char* info = p + FileHeaderSize;
    put32(info + 0, InfoHeaderSize);
    put32(info + 4, static_cast<quint32>(width));
    put32(info + 8, static_cast<quint32>(height));
    put16(info + 12, 1);
    put16(info + 14, 4);
    put32(info + 16, 0);
    put32(info + 20, static_cast<quint32>(pixelBytes));
    put32(info + 24, 0);
    put32(info + 28, 0);
    put32(info + 32, TableEntries);
    put32(info + 36, 0);

    // Colour table: blue, green, red, 0. Missing entries stay black.
    const QList<QRgb> table = picture.colorTable();
    char* entry = p + FileHeaderSize + InfoHeaderSize;
    for (int i = 0; i < TableEntries && i < table.size(); ++i) {
        const QRgb c = table[i];
        entry[4 * i + 0] = static_cast<char>(qBlue(c));
        entry[4 * i + 1] = static_cast<char>(qGreen(c));
        entry[4 * i + 2] = static_cast<char>(qRed(c));
        entry[4 * i + 3] = 0;
    }

    // Pixel data: the bottom row first; the even pixel of each pair in the high nibble.
    char* rows = p + PixelOffset;
    for (int r = 0; r < height; ++r) {
        const uchar* src = picture.constScanLine(height - 1 - r);
        char* dst = rows + r * stride;
        for (int x = 0; x < width; ++x) {
            const int nibble = src[x] & 0x0F;
            if (x % 2 == 0) {
                dst[x / 2] = static_cast<char>(nibble << 4);
            } else {
                dst[x / 2] = static_cast<char>(static_cast<uchar>(dst[x / 2]) | nibble);
            }
        }
    }
    return out;
}

} // namespace kelvarin
