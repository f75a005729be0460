#pragma once

#include "document/WaterMap.h"

#include <QImage>
#include <QList>
#include <QRgb>

namespace kelvarin {

/// The colour table of the map pictures and of exported BMP files: LevelColors in order,
/// index 0 (black) to 15 (white).
const QList<QRgb>& MapPalette();

/// A new map picture of S by S pixels: Format_Indexed8 with MapPalette, every pixel white (15).
QImage makeMapPicture(int size);

/// Draws a grid as its map picture: the pixel of cell i holds the cell's code when it is below
/// 15 and 15 (white) otherwise. One renderer serves the window, the exports and the CLI.
QImage renderHighRes(const WaterMap& map);
QImage renderLowRes(const WaterMap& map);

} // namespace kelvarin
