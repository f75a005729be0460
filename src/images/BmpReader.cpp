#include "images/BmpReader.h"

#include "document/Error.h"
#include "images/MapPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace kelvarin {

namespace {

constexpr QRgb White = 0xFFFFFFFFu;

constexpr qint64 FileHeaderSize = 14;
constexpr quint32 CoreHeaderSize = 12;
constexpr quint32 InfoHeaderSize = 40;
constexpr quint32 V2HeaderSize = 52;         // the first header that holds its own bit-field masks
constexpr qint64 MaxPixelArray = 0x7FFFFFFF; // the largest the signed 32-bit size math takes

enum Compression : quint32 {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    AlphaBitFields = 6,
};

[[noreturn]] void notValid() {
    throw Error(QStringLiteral("Bitmap image is not valid"));
}

[[noreturn]] void readFailed() {
    throw Error(QStringLiteral("Stream read error"));
}

quint16 u16(const uchar* p) {
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}

qint32 s32(const uchar* p) {
    return qFromLittleEndian<qint32>(p);
}

/// Random access to the bytes of the picture file; every read is checked against the device's
/// real length, never against a length the file states.
class Source {
public:
    explicit Source(QIODevice& device) : device_(device) {
        if (device.isSequential() || !device.isReadable()) {
            readFailed();
        }
        base_ = device.pos();
        size_ = std::max<qint64>(0, device.size() - base_);
    }

    qint64 size() const { return size_; }

    /// True when n bytes from offset lie inside the file.
    bool holds(qint64 offset, qint64 n) const {
        return offset >= 0 && n >= 0 && offset <= size_ && n <= size_ - offset;
    }

    /// Reads exactly n bytes at offset; refuses a range that the file doesn't hold.
    void readAt(qint64 offset, void* dst, qint64 n) {
        if (!holds(offset, n)) {
            notValid();
        }
        if (!device_.seek(base_ + offset)) {
            readFailed();
        }
        char* out = static_cast<char*>(dst);
        while (n > 0) {
            const qint64 got = device_.read(out, n);
            if (got <= 0) {
                readFailed();
            }
            out += got;
            n -= got;
        }
    }

private:
    QIODevice& device_;
    qint64 base_ = 0;
    qint64 size_ = 0;
};

/// Reads the bytes from an offset to the end of the file one at a time, through a small
/// buffer, for run-length data whose length is known only once it has been decoded.
class ByteStream {
public:
    ByteStream(Source& source, qint64 offset) : source_(source), next_(offset) {}

    /// The next byte; refuses the picture when the data ends.
    uchar take() {
        if (pos_ == len_) {
            const qint64 left = source_.size() - next_;
            if (left <= 0) {
                notValid();
            }
            len_ = static_cast<int>(std::min<qint64>(left, sizeof buffer_));
            source_.readAt(next_, buffer_, len_);
            next_ += len_;
            pos_ = 0;
        }
        return buffer_[pos_++];
    }

private:
    Source& source_;
    qint64 next_;
    uchar buffer_[4096];
    int pos_ = 0;
    int len_ = 0;
};

/// One colour channel described by a bit-field mask, scaled to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint64 max = 0;

    Channel() = default;
    explicit Channel(quint32 m) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }

    int value(quint32 pixel) const {
        if (max == 0) {
            return 0;
        }
        const quint64 v = (pixel & mask) >> shift; // never above max
        return static_cast<int>((v * 255 + max / 2) / max);
    }
};

/// What the headers say, after checking.
struct Layout {
    qint64 width = 0;
    qint64 height = 0; // rows, always positive
    bool topDown = false;
    int bpp = 0;
    quint32 compression = Rgb;
    qint64 pixelOffset = 0;
    qint64 stride = 0; // bytes a stored row takes, with its fill bytes
    std::array<Channel, 3> channels{};
    std::array<QRgb, 256> table{};
    int tableSize = 0;
};

Layout readLayout(Source& src) {
    if (src.size() < FileHeaderSize) {
        readFailed();
    }
    uchar file[FileHeaderSize];
    src.readAt(0, file, FileHeaderSize);
    if (file[0] != 'B' || file[1] != 'M') {
        notValid();
    }
    const qint64 pixelOffset = u32(file + 10);

    uchar sizeField[4];
    src.readAt(FileHeaderSize, sizeField, 4);
    const quint32 headerSize = u32(sizeField);
    if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize) {
        notValid();
    }
    const qint64 headerEnd = FileHeaderSize + headerSize;
    if (!src.holds(0, headerEnd)) {
        notValid();
    }

    Layout l;
    int planes = 0;
    quint32 coloursUsed = 0;
    int entrySize = 4;
    // The 40-byte header and the masks that later versions keep right after it.
    uchar info[56] = {};
    if (headerSize == CoreHeaderSize) {
        src.readAt(FileHeaderSize, info, CoreHeaderSize);
        l.width = u16(info + 4);
        l.height = u16(info + 6);
        planes = u16(info + 8);
        l.bpp = u16(info + 10);
        entrySize = 3;
    } else {
        src.readAt(FileHeaderSize, info, std::min<quint32>(headerSize, sizeof info));
        l.width = s32(info + 4);
        const qint64 height = s32(info + 8);
        planes = u16(info + 12);
        l.bpp = u16(info + 14);
        l.compression = u32(info + 16);
        coloursUsed = u32(info + 32);
        l.topDown = height < 0;
        l.height = height < 0 ? -height : height;
    }

    if (planes != 1) {
        notValid();
    }
    switch (l.bpp) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        notValid();
    }
    const bool rle = l.compression == Rle8 || l.compression == Rle4;
    const bool masked = l.compression == BitFields || l.compression == AlphaBitFields;
    const bool knownCompression = l.compression == Rgb || (l.compression == Rle8 && l.bpp == 8) ||
                                  (l.compression == Rle4 && l.bpp == 4) ||
                                  (masked && (l.bpp == 16 || l.bpp == 32));
    if (!knownCompression) {
        notValid();
    }
    if (l.width <= 0 || l.height == 0 || (rle && l.topDown)) {
        notValid();
    }
    // width < 2^31 and bpp <= 32, so the row length in bits stays far inside 64 bits. A pixel
    // array beyond 2^31 - 1 bytes is no picture that a BMP writer produces; refusing it also
    // bounds every offset computed below.
    l.stride = (l.width * l.bpp + 31) / 32 * 4;
    if (l.height > MaxPixelArray / l.stride) {
        notValid();
    }
    if (pixelOffset < headerEnd || pixelOffset > src.size()) {
        notValid();
    }
    l.pixelOffset = pixelOffset;

    if (l.bpp == 16 || l.bpp == 32) {
        if (masked) {
            uchar masks[12];
            if (headerSize >= V2HeaderSize) {
                std::copy(info + 40, info + 52, masks);
            } else {
                src.readAt(headerEnd, masks, sizeof masks);
            }
            l.channels = {Channel(u32(masks)), Channel(u32(masks + 4)), Channel(u32(masks + 8))};
        } else if (l.bpp == 16) {
            l.channels = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
        } else {
            l.channels = {Channel(0x00FF0000), Channel(0x0000FF00), Channel(0x000000FF)};
        }
    }

    if (l.bpp <= 8) {
        const quint32 full = 1u << l.bpp;
        l.tableSize = static_cast<int>(coloursUsed == 0 ? full : std::min(coloursUsed, full));
        uchar entries[256 * 4];
        src.readAt(headerEnd, entries, qint64(l.tableSize) * entrySize);
        for (int i = 0; i < l.tableSize; ++i) {
            const uchar* e = entries + i * entrySize;
            l.table[i] = qRgb(e[2], e[1], e[0]);
        }
    }
    return l;
}

/// The colour a pixel value of a table picture ends up with, for every possible index.
std::array<QRgb, 256> indexColours(const Layout& l) {
    const bool ownTable = l.bpp == 4 && l.compression == Rgb;
    std::array<QRgb, 256> colours;
    colours.fill(White);
    for (int i = 0; i < l.tableSize; ++i) {
        colours[i] = ownTable ? (l.table[i] | 0xFF000000u) : nearestMapColour(l.table[i]);
    }
    return colours;
}

void readUncompressed(Source& src, const Layout& l, QImage& out) {
    const int keptWidth = static_cast<int>(std::min<qint64>(out.width(), l.width));
    const int keptHeight = static_cast<int>(std::min<qint64>(out.height(), l.height));

    // Every stored row must be there; the last one may lack its fill bytes.
    const qint64 lastRow = (l.width * l.bpp + 7) / 8;
    if (!src.holds(l.pixelOffset, l.stride * (l.height - 1) + lastRow)) {
        notValid();
    }

    const std::array<QRgb, 256> colours = indexColours(l);
    const qint64 keptBytes = (qint64(keptWidth) * l.bpp + 7) / 8;

    // The kept rows lie next to each other in the file (the last ones of a bottom-up picture).
    // Where they take little room they are read in one go; rows of a very wide picture are
    // read one by one, only their first keptBytes each.
    constexpr qint64 BlockLimit = 1 << 20;
    const qint64 firstStored = l.topDown ? 0 : l.height - keptHeight;
    const qint64 blockBytes = keptHeight > 0 ? l.stride * (keptHeight - 1) + keptBytes : 0;
    const bool inOneGo = blockBytes <= BlockLimit;
    std::vector<uchar> buffer(static_cast<std::size_t>(inOneGo ? blockBytes : keptBytes));
    if (inOneGo && blockBytes > 0) {
        src.readAt(l.pixelOffset + firstStored * l.stride, buffer.data(), blockBytes);
    }

    // Most pictures repeat colours pixel after pixel: remember the last match.
    QRgb lastIn = 0;
    QRgb lastOut = nearestMapColour(0);
    auto nearest = [&](QRgb in) {
        if (in != lastIn) {
            lastIn = in;
            lastOut = nearestMapColour(in);
        }
        return lastOut;
    };

    for (int y = 0; y < keptHeight; ++y) {
        const qint64 stored = l.topDown ? y : l.height - 1 - y;
        const uchar* p = nullptr;
        if (inOneGo) {
            p = buffer.data() + (stored - firstStored) * l.stride;
        } else {
            src.readAt(l.pixelOffset + stored * l.stride, buffer.data(), keptBytes);
            p = buffer.data();
        }
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < keptWidth; ++x) {
            switch (l.bpp) {
            case 1:
                line[x] = colours[(p[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                line[x] = colours[(p[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
                break;
            case 8:
                line[x] = colours[p[x]];
                break;
            case 24:
                line[x] = nearest(qRgb(p[3 * x + 2], p[3 * x + 1], p[3 * x]));
                break;
            default: {
                const quint32 v = l.bpp == 16 ? u16(p + 2 * x) : u32(p + 4 * x);
                line[x] = nearest(
                    qRgb(l.channels[0].value(v), l.channels[1].value(v), l.channels[2].value(v)));
                break;
            }
            }
        }
    }
}

/// Decodes run-length data into the indices of the kept pixels (keptWidth by keptHeight, top
/// row first); every other pixel is decoded and dropped. Skipped pixels keep index 0.
void decodeRunLength(Source& src, const Layout& l, qint64 keptWidth, qint64 keptHeight,
                     std::vector<uchar>& kept) {
    const bool four = l.compression == Rle4;
    qint64 x = 0;
    qint64 row = 0; // stored row, 0 at the bottom of the picture
    auto put = [&](qint64 px, uchar index) {
        const qint64 y = l.height - 1 - row;
        if (px < keptWidth && y < keptHeight) {
            kept[static_cast<std::size_t>(y * keptWidth + px)] = index;
        }
    };

    ByteStream in(src, l.pixelOffset);
    // Data that goes on past the top row is of no use: every row is decoded then.
    while (row < l.height) {
        const uchar count = in.take();
        const uchar code = in.take();
        if (count > 0) {
            // An encoded run: one index, or two nibbles in turn starting with the high one.
            const bool keptRow = l.height - 1 - row < keptHeight;
            const qint64 end = keptRow ? std::min<qint64>(x + count, keptWidth) : x;
            for (qint64 px = x; px < end; ++px) {
                put(px, four ? ((px - x) % 2 == 0 ? code >> 4 : code & 0x0F) : code);
            }
            x += count;
        } else if (code == 0) { // end of line
            x = 0;
            ++row;
        } else if (code == 1) { // end of bitmap
            return;
        } else if (code == 2) { // delta: right and up
            x += in.take();
            row += in.take();
        } else {
            // An absolute run of `code` indices, padded to a whole number of 16-bit words.
            uchar pair = 0;
            for (int i = 0; i < code; ++i) {
                uchar index = 0;
                if (!four) {
                    index = in.take();
                } else if (i % 2 == 0) {
                    pair = in.take();
                    index = pair >> 4;
                } else {
                    index = pair & 0x0F;
                }
                put(x + i, index);
            }
            x += code;
            const int bytes = four ? (code + 1) / 2 : code;
            if (bytes % 2 != 0) {
                in.take();
            }
        }
    }
}

void readRunLength(Source& src, const Layout& l, QImage& out) {
    const qint64 keptWidth = std::min<qint64>(out.width(), l.width);
    const qint64 keptHeight = std::min<qint64>(out.height(), l.height);
    std::vector<uchar> kept(static_cast<std::size_t>(keptWidth * keptHeight), 0);
    decodeRunLength(src, l, keptWidth, keptHeight, kept);

    const std::array<QRgb, 256> colours = indexColours(l);
    for (qint64 y = 0; y < keptHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (qint64 x = 0; x < keptWidth; ++x) {
            line[x] = colours[kept[static_cast<std::size_t>(y * keptWidth + x)]];
        }
    }
}

} // namespace

QRgb nearestMapColour(QRgb colour) {
    const QList<QRgb>& palette = MapPalette();
    int best = 0;
    int bestDistance = 0;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (i == 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return palette[best] | 0xFF000000u;
}

QImage readBmpForImport(QIODevice& device, int size) {
    if (size <= 0) {
        return {};
    }
    QImage out(size, size, QImage::Format_RGB32);
    out.fill(White);

    Source src(device);
    if (src.size() == 0) {
        return out; // an empty file is an empty picture, padded to white
    }
    const Layout layout = readLayout(src);
    if (layout.compression == Rle8 || layout.compression == Rle4) {
        readRunLength(src, layout, out);
    } else {
        readUncompressed(src, layout, out);
    }
    return out;
}

QImage readBmpForImport(const QString& path, int size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error::cannotOpen(QFileInfo(path).absoluteFilePath(), file.errorString());
    }
    return readBmpForImport(file, size);
}

} // namespace kelvarin
