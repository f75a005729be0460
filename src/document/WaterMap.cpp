#include "document/WaterMap.h"

#include <QDir>
#include <algorithm>

namespace kelvarin {

QColor LevelColors(int code) {
    const auto& c = LevelColorsRgb.at(static_cast<std::size_t>(code));
    return QColor(c[0], c[1], c[2]);
}

WaterMap& WaterMap::instance() {
    static WaterMap map;
    return map;
}

bool WaterMap::IsLevelUsedLow(std::uint8_t code) const {
    if (code > 15) {
        return false;
    }
    return std::find(LowRes.begin(), LowRes.end(), code) != LowRes.end();
}

bool WaterMap::IsLevelUsedHigh(std::uint8_t code) const {
    if (code > 15) {
        return false;
    }
    return std::find(HighRes.begin(), HighRes.end(), code) != HighRes.end();
}

void WaterMap::NewMap(WindowOps& window) {
    FileName = QDir::current().absoluteFilePath(QStringLiteral("waterpro.dat"));
    MapLoaded = true;
    LowRes.fill(NoWater);
    HighRes.fill(NoWater);
    KeptHeights.fill(0.0f);
    window.SetEditing(true);
    PackLevels(window);
}

void WaterMap::SetLevelHeight(int level, float height) {
    Levels.at(static_cast<std::size_t>(level)) = height;
}

void WaterMap::ClearLevel(int level, WindowOps& window) {
    const auto code = static_cast<std::uint8_t>(level);
    std::replace(HighRes.begin(), HighRes.end(), code, NoWater);
    std::replace(LowRes.begin(), LowRes.end(), code, NoWater);
    PackLevels(window);
}

void WaterMap::DeriveLowRes(WindowOps& window) {
    for (int a = 0; a < LowSize; ++a) {
        for (int b = 0; b < LowSize; ++b) {
            LowRes[static_cast<std::size_t>(LowSize * a + b)] =
                HighRes[static_cast<std::size_t>(256 * a + 2 * b)];
        }
    }
    PackLevels(window);
}

void WaterMap::PackLevels(WindowOps& window) {
    if (!MapLoaded) {
        return;
    }

    // The distinct heights in the order of the first slot that holds each, counting slots
    // that no cell holds. Heights are copied as they are, never converted.
    std::array<float, LevelCount> distinct{};
    int n = 1;
    distinct[0] = Levels[0];
    for (int i = 1; i < LevelCount; ++i) {
        if (std::find(distinct.begin(), distinct.begin() + n, Levels[i]) == distinct.begin() + n) {
            distinct[n++] = Levels[i];
        }
    }

    // Renumber every water cell to its height's position in the distinct list.
    std::array<std::uint8_t, LevelCount> position{};
    for (int c = 0; c < LevelCount; ++c) {
        position[c] = static_cast<std::uint8_t>(
            std::find(distinct.begin(), distinct.begin() + n, Levels[c]) - distinct.begin());
    }
    auto renumber = [&position](auto& grid) {
        for (auto& cell : grid) {
            if (cell < LevelCount) {
                cell = position[cell];
            }
        }
    };
    renumber(HighRes);
    renumber(LowRes);

    // Compact: the positions in use become levels 0, 1, 2, ... in order. j never exceeds k,
    // so a renumbering never creates a code that a later k tests.
    int j = 0;
    for (int k = 0; k < LevelCount; ++k) {
        const auto code = static_cast<std::uint8_t>(k);
        if (!IsLevelUsed(code)) {
            continue;
        }
        Levels[j] = distinct[k];
        if (j != k) {
            const auto to = static_cast<std::uint8_t>(j);
            std::replace(HighRes.begin(), HighRes.end(), code, to);
            std::replace(LowRes.begin(), LowRes.end(), code, to);
        }
        ++j;
    }
    std::fill(Levels.begin() + j, Levels.end(), 0.0f);

    window.selectLevel(0);
    window.showHeight(0);
    window.repaintLevelList();
    window.redrawMaps();
}

} // namespace kelvarin
