#pragma once

#include "document/WaterMap.h"

#include <QImage>
#include <QRandomGenerator>

namespace kelvarin {

/// Which grid a picture exchange works on.
enum class Grid { High, Low };

/// Export: packs, offers "Water128.bmp" ("Water64.bmp") in the save-picture dialog, and writes
/// the picture the grid's control holds as a 4-bit BMP file. A cancelled dialog leaves the
/// packing in place; a failed write throws Error and leaves no partial file.
void ExportHighResImage(WaterMap& map, WindowOps& window);
void ExportLowResImage(WaterMap& map, WindowOps& window);

/// Import: runs the open-picture dialog, reads the picture, and replaces the grid with the
/// cells of the picture's level colours, with new levels of provisional heights 1 + r/1000.
/// The picture is read before anything else happens, so a picture that can't be read throws
/// Error and changes nothing.
void ImportHighResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random);
void ImportLowResImage(WaterMap& map, WindowOps& window, QRandomGenerator& random);

/// The import without its dialog, from a picture already read (S by S, any RGB format): makes
/// the grid dry, packs, finds the base code b (the first code the other grid doesn't use),
/// gives each cell whose pixel has the colour of level k the code b + k, draws provisional
/// heights for levels b to 14 and packs again. A cell whose b + k would be 15 or more (a code
/// the game would read as water) is made dry instead; when there are such cells, a message
/// says how many. Returns that count. Throws std::invalid_argument, before changing anything,
/// when the picture is not S by S.
int applyImportedPicture(WaterMap& map, WindowOps& window, Grid grid, const QImage& picture,
                         QRandomGenerator& random);

/// The provisional height for the random draw r (0 to 999): the float nearest to 1 + r/1000.
float provisionalHeight(quint32 r);

} // namespace kelvarin
