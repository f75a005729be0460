#pragma once

#include <QByteArray>
#include <QImage>

namespace kelvarin {

/// The bytes of a 4-bit BMP file for a map picture: the 14-byte file header, the 40-byte info
/// header, the picture's 16-entry colour table and bottom-up rows of nibbles (118 + S*S/2 bytes).
/// `picture` is a map picture: Format_Indexed8, a colour table of 16 entries, every index below
/// 16, width and height even.
QByteArray encodeBmp4(const QImage& picture);

} // namespace kelvarin
