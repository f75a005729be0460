#include "images/MapImages.h"

#include "document/SafeSave.h"
#include "images/BmpReader.h"
#include "images/BmpWriter.h"

#include <algorithm>
#include <stdexcept>

namespace kelvarin {

namespace {

void exportImage(WaterMap& map, WindowOps& window, Grid grid) {
    if (!map.MapLoaded) {
        return;
    }
    // Packing redraws both pictures, so the picture written below shows the packed grid.
    map.PackLevels(window);
    const bool high = grid == Grid::High;
    window.setSavePicFileName(high ? QStringLiteral("Water128.bmp")
                                   : QStringLiteral("Water64.bmp"));
    const std::optional<QString> path = window.runSavePicDialog();
    if (!path) {
        return;
    }
    saveFileSafely(*path, encodeBmp4(window.heldPicture(high)));
}

void importImage(WaterMap& map, WindowOps& window, Grid grid, QRandomGenerator& random) {
    if (!map.MapLoaded) {
        return;
    }
    const std::optional<QString> path = window.runOpenPicDialog();
    if (!path) {
        return;
    }
    // The picture is read in full before the map is touched: a picture that can't be read
    // throws here and leaves the map and the window as they were.
    const QImage picture = readBmpForImport(*path, grid == Grid::High ? HighSize : LowSize);
    applyImportedPicture(map, window, grid, picture, random);
}

// The level code whose colour `rgb` has exactly, or -1 for white and every other colour.
int levelOfColour(QRgb rgb) {
    for (int k = 0; k < LevelCount; ++k) {
        const auto& c = LevelColorsRgb[static_cast<std::size_t>(k)];
        if (qRed(rgb) == c[0] && qGreen(rgb) == c[1] && qBlue(rgb) == c[2]) {
            return k;
        }
    }
    return -1;
}

// Gives every cell whose pixel has the colour of level k the code base + k. Returns how many
// such cells had to stay dry because base + k is no level code.
template <std::size_t N>
int paintGrid(std::array<std::uint8_t, N>& target, int size, const QImage& rgb, int base) {
    int stayedDry = 0;
    for (int i = 0; i < static_cast<int>(N); ++i) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(size - 1 - i % size));
        const int k = levelOfColour(row[i / size]);
        if (k < 0) {
            continue;
        }
        if (base + k < LevelCount) {
            target[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(base + k);
        } else {
            // Codes 15 and up are dry in the editor but water in the game: keep the cell dry.
            ++stayedDry;
        }
    }
    return stayedDry;
}

} // namespace

void ExportHighResImage(WaterMap& map, WindowOps& window) {
    exportImage(map, window, Grid::High);
}

void ExportLowResImage(WaterMap& map, WindowOps& window) {
    exportImage(map, window, Grid::Low);
}

void ImportHighResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random) {
    importImage(map, window, Grid::High, random);
}

void ImportLowResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random) {
    importImage(map, window, Grid::Low, random);
}

float provisionalHeight(quint32 r) {
    // In double, 1 + r/1000 lies far closer to the exact decimal than half a float step, so the
    // one rounding to float gives the float nearest to the exact value.
    return static_cast<float>(1.0 + static_cast<double>(r) / 1000.0);
}

int applyImportedPicture(WaterMap& map, WindowOps& window, Grid grid, const QImage& picture,
                         QRandomGenerator& random) {
    const bool high = grid == Grid::High;
    const int size = high ? HighSize : LowSize;
    if (picture.width() != size || picture.height() != size) {
        throw std::invalid_argument("applyImportedPicture: the picture must be S by S");
    }
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);

    if (high) {
        map.HighRes.fill(NoWater);
    } else {
        map.LowRes.fill(NoWater);
    }
    map.PackLevels(window);

    // The first code the other grid doesn't use; codes above 15 are never in use, so at most 16.
    int base = 0;
    while (high ? map.IsLevelUsedLow(static_cast<std::uint8_t>(base))
                : map.IsLevelUsedHigh(static_cast<std::uint8_t>(base))) {
        ++base;
    }

    const int stayedDry =
        high ? paintGrid(map.HighRes, size, rgb, base) : paintGrid(map.LowRes, size, rgb, base);

    // Every free level gets a height, whether its colour occurred or not; the packing below
    // drops the ones no cell holds.
    for (int l = base; l < LevelCount; ++l) {
        map.Levels[static_cast<std::size_t>(l)] = provisionalHeight(random.bounded(1000u));
    }
    map.PackLevels(window);

    if (stayedDry > 0) {
        const QString cells = stayedDry == 1 ? QStringLiteral("1 painted cell")
                                             : QStringLiteral("%1 painted cells").arg(stayedDry);
        window.showMessage(
            QStringLiteral("%1 stayed dry: the %2 map already uses %3 of the 15 levels.")
                .arg(cells, high ? QStringLiteral("64x64") : QStringLiteral("128x128"),
                     QString::number(std::min(base, LevelCount))));
    }
    return stayedDry;
}

} // namespace kelvarin
