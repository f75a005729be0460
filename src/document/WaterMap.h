#pragma once

#include "document/WindowOps.h"

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

namespace kelvarin {

inline constexpr int LevelCount = 15;    ///< levels 0 to 14, shown as "01" to "15"
inline constexpr int StoredHeights = 48; ///< heights a water file stores, codes 0 to 47
inline constexpr int KeptCodeFirst = 15; ///< first code whose file height the editor keeps aside
inline constexpr int KeptCodeCount = 33; ///< codes 15 to 47
inline constexpr int LowSize = 64;
inline constexpr int HighSize = 128;
inline constexpr int LowCells = LowSize * LowSize;
inline constexpr int HighCells = HighSize * HighSize;
inline constexpr std::uint8_t NoWater = 128; ///< the code the editor writes for a dry cell

/// One record of the extents block: four floats the editor carries but never interprets.
struct LevelExtent {
    float first = 0.0f;
    float second = 0.0f;
    float third = 0.0f;
    float fourth = 0.0f;
};

/// Display colours of level codes 0 to 14, and white (entry 15) for dry land.
inline constexpr std::array<std::array<std::uint8_t, 3>, 16> LevelColorsRgb = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {128, 128, 128},
    {192, 192, 192},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

/// The colour of level code c (0 to 15) as a QColor.
QColor LevelColors(int code);

/// Cell index of the high-res picture pixel (x, y), and back.
constexpr int highCellOf(int x, int y) {
    return HighSize * x + (HighSize - 1) - y;
}
constexpr int lowCellOf(int x, int y) {
    return LowSize * x + (LowSize - 1) - y;
}

/// The water map: up to 15 water heights and the two grids of level codes.
///
/// A cell holds a level code: 0 to 14 name a level (water at that level's height), 15 to 255
/// mean no water. All tables have fixed sizes. The editor keeps exactly one map for the whole
/// process (instance()); tests and tools may make their own.
class WaterMap {
public:
    std::array<float, LevelCount> Levels{};
    std::array<std::uint8_t, LowCells> LowRes{};
    std::array<std::uint8_t, HighCells> HighRes{};
    std::array<LevelExtent, StoredHeights> LevelExtents{};
    /// Heights that codes 15 to 47 stood for in the last opened file, for the cells that still
    /// hold them. The editor shows those cells as dry, but the game reads every code below 48 as
    /// water, so saving writes these heights back instead of zeros.
    std::array<float, KeptCodeCount> KeptHeights{};
    QString FileName;
    bool MapLoaded = false;

    /// The process's one map.
    static WaterMap& instance();

    /// True when a cell of LowRes (HighRes) holds exactly this code; false for codes above 15.
    bool IsLevelUsedLow(std::uint8_t code) const;
    bool IsLevelUsedHigh(std::uint8_t code) const;
    bool IsLevelUsed(std::uint8_t code) const {
        return IsLevelUsedLow(code) || IsLevelUsedHigh(code);
    }

    /// Starts an empty map at "waterpro.dat" in the current folder.
    void NewMap(WindowOps& window);
    /// Stores a height for a level; nothing is packed.
    void SetLevelHeight(int level, float height);
    /// Makes every cell of a level dry, then packs.
    void ClearLevel(int level, WindowOps& window);
    /// Derives the 64 by 64 grid from the 128 by 128 grid, then packs.
    void DeriveLowRes(WindowOps& window);
    /// Merges equal heights, drops unused levels, renumbers without gaps, resets the window.
    void PackLevels(WindowOps& window);
};

} // namespace kelvarin
