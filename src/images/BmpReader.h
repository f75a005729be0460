#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

namespace kelvarin {

/// Reads the top-left S by S pixels of a BMP picture for an import.
///
/// The result is an S by S image (Format_RGB32) holding the colour each pixel has once the
/// picture was cut or padded to S by S (added rows and columns white) and converted to the map
/// palette by nearest colour; an uncompressed 4-bit picture keeps the colours of its own table
/// instead. An empty file gives an all-white image. Memory stays at S by S whatever the
/// picture's size. Failures throw Error: "Cannot open file "<path>". <reason>",
/// "Stream read error" (shorter than the file header), "Bitmap image is not valid".
QImage readBmpForImport(const QString& path, int size);

/// The same, from a device that is open for reading (a file, a buffer); it must be seekable.
QImage readBmpForImport(QIODevice& device, int size);

} // namespace kelvarin
