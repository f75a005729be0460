#pragma once

#include "document/WaterMap.h"

#include <QByteArray>
#include <QString>

namespace kelvarin {

inline constexpr int WaterFileSize = 21444;
inline constexpr std::uint32_t SavedHeaderWord = 33;

/// What opening a water file puts into the map, computed from the file's bytes alone.
///
/// decodeWaterFile checks the whole file before anything is changed, so an open is
/// all-or-nothing: either every table below goes into the map, or nothing does.
struct DecodedWaterFile {
    std::array<float, LevelCount> Levels{};
    std::array<std::uint8_t, LowCells> LowRes{};
    std::array<std::uint8_t, HighCells> HighRes{};
    std::array<float, KeptCodeCount> KeptHeights{};
};

/// Reads the layout, reduces the 48 stored heights to at most 15 levels and renumbers the
/// cells. Throws Error naming `path` when the bytes are not a water file (too short, or a cell
/// names a stored height that is not a number). Bytes past the layout are ignored.
DecodedWaterFile decodeWaterFile(const QByteArray& bytes, const QString& path);

/// The 21444 bytes a save writes for the map (header word 33, the levels, the kept heights,
/// the extents block, both grids).
QByteArray encodeWaterFile(const WaterMap& map);

/// The extents block every open puts into the map.
std::array<LevelExtent, StoredHeights> fixedExtents();

/// Open: runs the open dialog, reads and checks the chosen file, and only then replaces the
/// map and shows it. A cancelled dialog or a refused file changes nothing.
void OpenWaterFile(WaterMap& map, WindowOps& window);

/// Opens the water file at `path` without a dialog (as the open dialog would have chosen it).
void OpenWaterFileAt(WaterMap& map, WindowOps& window, const QString& path);

/// Save: asks the save question, packs, and writes the map to its FileName safely.
void SaveWaterFile(WaterMap& map, WindowOps& window);

/// The folder part of a path, as the picture dialogs take it for their start folder.
QString folderOf(const QString& path);

} // namespace kelvarin
