#include "document/HeightText.h"

namespace kelvarin {

// Placeholder until the exact formatter and parser land.
QString formatHeight(float value, HeightPattern, QChar separator) {
    QString s = QString::number(static_cast<double>(value), 'g', 9);
    return s.replace(QLatin1Char('.'), separator);
}

QString formatLevelNumber(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

std::optional<float> parseHeight(const QString& text, QChar separator) {
    bool ok = false;
    QString t = text;
    t.replace(separator, QLatin1Char('.'));
    const float v = t.toFloat(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return v;
}

} // namespace kelvarin
