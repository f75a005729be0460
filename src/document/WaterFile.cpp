#include "document/WaterFile.h"

#include "document/Error.h"
#include "document/SafeSave.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace kelvarin {

namespace {

// Offsets of the water file's sections.
constexpr int HeightsOffset = 4;
constexpr int ExtentsOffset = HeightsOffset + StoredHeights * 4; // 196
constexpr int LowResOffset = ExtentsOffset + StoredHeights * 16; // 964
constexpr int HighResOffset = LowResOffset + LowCells;           // 5060
static_assert(HighResOffset + HighCells == WaterFileSize);

float floatAt(const char* p) {
    return std::bit_cast<float>(qFromLittleEndian<quint32>(p));
}

void appendWord(QByteArray& out, quint32 word) {
    char bytes[4];
    qToLittleEndian(word, bytes);
    out.append(bytes, 4);
}

void appendFloat(QByteArray& out, float value) {
    appendWord(out, std::bit_cast<quint32>(value));
}

// Which codes 0 to 255 at least one cell of either grid holds.
template <typename... Grids> std::array<bool, 256> codesPresent(const Grids&... grids) {
    std::array<bool, 256> present{};
    (
        [&present](const auto& grid) {
            for (std::uint8_t cell : grid) {
                present[cell] = true;
            }
        }(grids),
        ...);
    return present;
}

} // namespace

std::array<LevelExtent, StoredHeights> fixedExtents() {
    std::array<LevelExtent, StoredHeights> extents;
    extents[0] = {-3000.0f, 3000.0f, 3000.0f, -3000.0f};
    for (int r = 1; r < StoredHeights; ++r) {
        extents[r] = {1000000.0f, -1000000.0f, -1000000.0f, 1000000.0f};
    }
    return extents;
}

DecodedWaterFile decodeWaterFile(const QByteArray& bytes, const QString& path) {
    if (bytes.size() < WaterFileSize) {
        throw Error(QStringLiteral("\"%1\" is not a water file: it holds %2 bytes, %3 expected")
                        .arg(path, QString::number(bytes.size()), QString::number(WaterFileSize)));
    }
    const char* data = bytes.constData();

    DecodedWaterFile out;
    std::array<float, StoredHeights> stored{};
    for (int c = 0; c < StoredHeights; ++c) {
        stored[c] = floatAt(data + HeightsOffset + 4 * c);
    }
    std::memcpy(out.LowRes.data(), data + LowResOffset, LowCells);
    std::memcpy(out.HighRes.data(), data + HighResOffset, HighCells);

    const auto present = codesPresent(out.HighRes, out.LowRes);
    for (int c = 0; c < StoredHeights; ++c) {
        if (present[c] && std::isnan(stored[c])) {
            throw Error(QStringLiteral("\"%1\" is not a water file: its cells name stored height "
                                       "%2, which is not a number")
                            .arg(path, QString::number(c)));
        }
    }

    // The distinct stored heights in the order of their first position. A height that is not
    // a number names no cell (checked above) and takes no place in the list.
    std::array<float, StoredHeights> distinct{};
    int n = 0;
    std::array<std::uint8_t, StoredHeights> position{};
    for (int c = 0; c < StoredHeights; ++c) {
        if (std::isnan(stored[c])) {
            continue;
        }
        const auto* end = distinct.begin() + n;
        const auto* found = std::find(distinct.cbegin(), end, stored[c]);
        if (found == end) {
            distinct[n++] = stored[c];
        }
        position[c] = static_cast<std::uint8_t>(found - distinct.cbegin());
    }

    // Renumber the cells; codes 48 to 255 stay. A position is never above its code.
    auto renumber = [&position](auto& grid) {
        for (auto& cell : grid) {
            if (cell < StoredHeights) {
                cell = position[cell];
            }
        }
    };
    renumber(out.HighRes);
    renumber(out.LowRes);

    // Levels 0 to 14 keep their heights only where a cell holds them; so do the codes 15 to 47
    // that cells still hold, which the editor shows as dry but the game reads as water.
    const auto used = codesPresent(out.HighRes, out.LowRes);
    for (int j = 0; j < LevelCount; ++j) {
        out.Levels[j] = used[j] ? distinct[j] : 0.0f;
    }
    for (int j = 0; j < KeptCodeCount; ++j) {
        const int code = KeptCodeFirst + j;
        out.KeptHeights[j] = used[code] ? distinct[code] : 0.0f;
    }
    return out;
}

QByteArray encodeWaterFile(const WaterMap& map) {
    QByteArray out;
    out.reserve(WaterFileSize);
    appendWord(out, SavedHeaderWord);
    for (float h : map.Levels) {
        appendFloat(out, h);
    }
    const auto present = codesPresent(map.HighRes, map.LowRes);
    for (int j = 0; j < KeptCodeCount; ++j) {
        appendFloat(out, present[KeptCodeFirst + j] ? map.KeptHeights[j] : 0.0f);
    }
    for (const LevelExtent& e : map.LevelExtents) {
        appendFloat(out, e.first);
        appendFloat(out, e.second);
        appendFloat(out, e.third);
        appendFloat(out, e.fourth);
    }
    out.append(reinterpret_cast<const char*>(map.LowRes.data()), LowCells);
    out.append(reinterpret_cast<const char*>(map.HighRes.data()), HighCells);
    Q_ASSERT(out.size() == WaterFileSize);
    return out;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

void OpenWaterFileAt(WaterMap& map, WindowOps& window, const QString& path) {
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    if (QFileInfo(fullPath).isDir()) {
        throw Error::cannotOpen(fullPath, QStringLiteral("It is a folder."));
    }
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error::cannotOpen(fullPath, file.errorString());
    }
    const QByteArray bytes = file.read(WaterFileSize);
    if (file.error() != QFileDevice::NoError) {
        throw Error::cannotOpen(fullPath, file.errorString());
    }
    file.close();

    const DecodedWaterFile decoded = decodeWaterFile(bytes, fullPath);

    // The file is good: only now does anything change.
    map.FileName = fullPath;
    window.setPictureDialogsFolder(folderOf(fullPath));
    map.MapLoaded = true;
    map.Levels = decoded.Levels;
    map.LowRes = decoded.LowRes;
    map.HighRes = decoded.HighRes;
    map.KeptHeights = decoded.KeptHeights;
    map.LevelExtents = fixedExtents();

    window.selectLevel(0);
    window.showHeight(0);
    window.redrawMaps();
    window.SetEditing(true);
}

void OpenWaterFile(WaterMap& map, WindowOps& window) {
    const std::optional<QString> chosen = window.runOpenDialog();
    if (!chosen) {
        return;
    }
    OpenWaterFileAt(map, window, *chosen);
}

void SaveWaterFile(WaterMap& map, WindowOps& window) {
    if (!map.MapLoaded) {
        return;
    }
    const QString& name = map.FileName;
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && name[first].unicode() <= 32) {
        ++first;
    }
    while (last > first && name[last - 1].unicode() <= 32) {
        --last;
    }
    if (first == last) {
        return;
    }
    if (!window.confirmSave(
            QStringLiteral("Would you like to save all changes\r\nmade to %1?").arg(name))) {
        return;
    }
    map.PackLevels(window);
    saveFileSafely(map.FileName, encodeWaterFile(map));
}

} // namespace kelvarin
