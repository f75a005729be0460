#pragma once

#include "document/WaterMap.h"

#include <QImage>
#include <QRandomGenerator>

namespace kelvarin {

/// Which grid a picture exchange works on.
enum class Grid { High, Low };

/// Export: packs, offers "Water128.bmp" ("Water64.bmp") in the save-picture dialog, and writes
/// the picture the grid's control holds as a 4-bit BMP file.
void ExportHighResImage(WaterMap& map, WindowOps& window);
void ExportLowResImage(WaterMap& map, WindowOps& window);

/// Import: runs the open-picture dialog, reads the picture, and replaces the grid with the
/// cells of the picture's level colours, with new levels of provisional heights 1 + r/1000.
/// A picture that can't be read changes nothing.
void ImportHighResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random);
void ImportLowResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random);

/// The import without its dialog, from a picture already read (S by S, RGB): steps that change
/// the map. Returns how many painted cells stayed dry for lack of free levels.
int applyImportedPicture(WaterMap& map, WindowOps& window, Grid grid, const QImage& picture,
                         QRandomGenerator& random);

} // namespace kelvarin
