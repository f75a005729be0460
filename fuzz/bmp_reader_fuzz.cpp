// Fuzz target of the picture import's BMP reader.
//
// Feeds the bytes through a QBuffer at both import sizes. A refused picture must be refused
// with the reader's own error; an accepted one must come back as an S by S RGB image, and the
// 64 by 64 read must be the top-left corner of the 128 by 128 read, since both keep the
// picture's top-left pixels.

#include "document/Error.h"
#include "images/BmpReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

std::optional<QImage> read(const QByteArray& bytes, int size) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) {
        std::abort();
    }
    try {
        QImage image = kelvarin::readBmpForImport(buffer, size);
        if (image.size() != QSize(size, size) || image.format() != QImage::Format_RGB32) {
            std::fprintf(stderr, "wrong result shape at size %d\n", size);
            std::abort();
        }
        return image;
    } catch (const kelvarin::Error& e) {
        const QString& m = e.message();
        if (m != QLatin1String("Bitmap image is not valid") &&
            m != QLatin1String("Stream read error")) {
            std::fprintf(stderr, "unexpected message: %s\n", e.what());
            std::abort();
        }
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QImage> large = read(bytes, 128);
    const std::optional<QImage> small = read(bytes, 64);
    if (large.has_value() != small.has_value()) {
        std::fprintf(stderr, "read at one size only\n");
        std::abort();
    }
    if (large && large->copy(0, 0, 64, 64) != *small) {
        std::fprintf(stderr, "64 by 64 read is not the corner of the 128 by 128 read\n");
        std::abort();
    }
    return 0;
}
