#pragma once

#include <QIODevice>
#include <QImage>
#include <QRgb>
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
///
/// Accepted: the "BM" file header; the 12-byte core header (16-bit width and height, 3-byte
/// table entries, rows bottom-up) or an info header of 40 bytes or more; one plane; 1, 4, 8,
/// 16, 24 or 32 bits per pixel; uncompressed data (16 bits as 5-5-5, 32 bits as X-8-8-8),
/// bit-field masks (compression 3 or 6, 16 and 32 bits; alpha is ignored), RLE8 and RLE4
/// (bottom-up only); rows bottom-up or top-down.
///
/// Decisions where the file leaves room:
/// - The colour table has the colours-used count of entries, or 2, 16, 256 when that field is
///   0; a count above 2^bpp is clamped to 2^bpp, so at most 256 entries are ever read.
/// - A pixel index beyond the colour table reads as white.
/// - Pixels that run-length data skips (by a delta, an early end of line or end of bitmap)
///   hold index 0.
/// - Run-length data must end with end-of-bitmap, or reach past the top row; running out of
///   data before that is refused. Pixels beyond the picture's width or height are dropped.
/// - The size fields of the file header and the image-size field are not used; offsets and
///   lengths are checked against the actual length of the device instead. Uncompressed data
///   must hold every row (the last row may lack its fill bytes).
/// - A picture whose pixel array (row stride times height) would exceed 2^31 - 1 bytes is
///   refused, compressed or not, as is pixel data that starts inside the headers.
QImage readBmpForImport(const QString& path, int size);

/// The same, from a device that is open for reading (a file, a buffer). The picture starts at
/// the device's current position. The device must be random-access; a sequential device is
/// refused with "Stream read error".
QImage readBmpForImport(QIODevice& device, int size);

/// The MapPalette colour nearest to `colour` by squared distance in red, green and blue; among
/// equally near entries the lowest index wins. Every MapPalette colour maps to itself. Alpha
/// is ignored; the result is opaque.
QRgb nearestMapColour(QRgb colour);

} // namespace kelvarin
