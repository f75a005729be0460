#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

/// Builds the bytes of a water file field by field, for tests.
struct WaterFileBuilder {
    std::uint32_t header = 33;
    std::array<float, 48> heights{};
    std::array<std::array<float, 4>, 48> extents{};
    std::array<std::uint8_t, 4096> low{};
    std::array<std::uint8_t, 16384> high{};

    WaterFileBuilder() {
        low.fill(128);
        high.fill(128);
    }

    QByteArray bytes() const {
        QByteArray out(21444, '\0');
        char* p = out.data();
        qToLittleEndian(header, p);
        for (int i = 0; i < 48; ++i) {
            qToLittleEndian(std::bit_cast<quint32>(heights[i]), p + 4 + 4 * i);
        }
        for (int r = 0; r < 48; ++r) {
            for (int f = 0; f < 4; ++f) {
                qToLittleEndian(std::bit_cast<quint32>(extents[r][f]), p + 196 + 16 * r + 4 * f);
            }
        }
        std::memcpy(p + 964, low.data(), low.size());
        std::memcpy(p + 5060, high.data(), high.size());
        return out;
    }

    void writeTo(const QString& path) const { writeBytes(path, bytes()); }

    static void writeBytes(const QString& path, const QByteArray& data) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            qFatal("cannot write test file %s", qPrintable(path));
        }
    }
};

/// The float stored at byte offset `offset` of a water file.
inline float floatAtOffset(const QByteArray& bytes, int offset) {
    return std::bit_cast<float>(qFromLittleEndian<quint32>(bytes.constData() + offset));
}
