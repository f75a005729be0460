#include "images/MapPicture.h"

namespace kelvarin {

namespace {

template <std::size_t N> QImage renderGrid(const std::array<std::uint8_t, N>& grid, int size) {
    QImage picture = makeMapPicture(size);
    for (int i = 0; i < static_cast<int>(N); ++i) {
        const std::uint8_t code = grid[static_cast<std::size_t>(i)];
        if (code < LevelCount) {
            picture.setPixel(i / size, size - 1 - i % size, code);
        }
    }
    return picture;
}

} // namespace

const QList<QRgb>& MapPalette() {
    static const QList<QRgb> palette = [] {
        QList<QRgb> p;
        for (const auto& c : LevelColorsRgb) {
            p.append(qRgb(c[0], c[1], c[2]));
        }
        return p;
    }();
    return palette;
}

QImage makeMapPicture(int size) {
    QImage picture(size, size, QImage::Format_Indexed8);
    picture.setColorTable(MapPalette());
    picture.fill(15);
    return picture;
}

QImage renderHighRes(const WaterMap& map) {
    return renderGrid(map.HighRes, HighSize);
}

QImage renderLowRes(const WaterMap& map) {
    return renderGrid(map.LowRes, LowSize);
}

} // namespace kelvarin
