#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace kelvarin {

/// The two patterns heights are written with.
enum class HeightPattern {
    Field, ///< "0.0###": the height field and the depth read-out, 1 to 4 decimals
    List,  ///< "0.0##": the level list, 1 to 3 decimals
};

/// Writes a height from its exact value with the given pattern and decimal separator
/// (no grouping; "INF"/"-INF"; scientific form from 10^18).
QString formatHeight(float value, HeightPattern pattern, QChar separator);

/// Writes a level number with the pattern "00" ("01" to "15").
QString formatLevelNumber(int number);

/// Reads a height text as the height field does: the nearest float to the decimal number the
/// text denotes, or nothing when the text is not accepted or its value is beyond a float.
std::optional<float> parseHeight(const QString& text, QChar separator);

} // namespace kelvarin
