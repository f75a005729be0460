// Picture import: reading a 128 by 128 BMP picture (4-bit and 24-bit) and applying it to the map.
#include "NullWindow.h"
#include "images/BmpReader.h"
#include "images/BmpWriter.h"
#include "images/MapImages.h"
#include "images/MapPicture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <memory>

using namespace kelvarin;

namespace {

// The level colour (or white, 15) that a painted picture has at pixel (x, y).
int paintedCode(int x, int y) {
    return (x / 8 + y / 5) % 16;
}

QByteArray fourBitPicture() {
    QImage picture = makeMapPicture(HighSize);
    for (int x = 0; x < HighSize; ++x) {
        for (int y = 0; y < HighSize; ++y) {
            picture.setPixel(x, y, static_cast<uint>(paintedCode(x, y)));
        }
    }
    return encodeBmp4(picture);
}

QByteArray twentyFourBitPicture() {
    constexpr int rowBytes = HighSize * 3; // 384, a multiple of 4
    QByteArray bytes(54 + rowBytes * HighSize, '\0');
    char* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(bytes.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(HighSize, p + 18);
    qToLittleEndian<qint32>(HighSize, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    for (int row = 0; row < HighSize; ++row) {
        const int y = HighSize - 1 - row;
        for (int x = 0; x < HighSize; ++x) {
            // Slightly off the level colours, so that every pixel needs the nearest colour.
            const auto& c = LevelColorsRgb[static_cast<std::size_t>(paintedCode(x, y))];
            char* px = p + 54 + row * rowBytes + 3 * x;
            px[0] = static_cast<char>(c[2] ^ 3);
            px[1] = static_cast<char>(c[1] ^ 2);
            px[2] = static_cast<char>(c[0] ^ 1);
        }
    }
    return bytes;
}

// A loaded map whose 64 by 64 grid uses three levels, so imports into HighRes start at code 3.
std::unique_ptr<WaterMap> mapForImport() {
    auto map = std::make_unique<WaterMap>();
    map->MapLoaded = true;
    map->HighRes.fill(NoWater);
    map->LowRes.fill(NoWater);
    for (int k = 0; k < 3; ++k) {
        std::fill_n(map->LowRes.begin() + 100 * k, 100, static_cast<std::uint8_t>(k));
        map->Levels[static_cast<std::size_t>(k)] = static_cast<float>(k) + 10.0f;
    }
    return map;
}

struct PictureFile {
    QTemporaryDir dir;
    QString path;
    explicit PictureFile(const QByteArray& bytes) : path(dir.filePath(QStringLiteral("p.bmp"))) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
    }
};

void fullImport(benchmark::State& state, const QByteArray& bytes) {
    const PictureFile file(bytes);
    auto map = mapForImport();
    NullWindow window;
    window.picturePath = file.path;
    QRandomGenerator random(1);
    for (auto _ : state) {
        ImportHighResImage(*map, window, random);
        benchmark::ClobberMemory();
    }
}

void readOnly(benchmark::State& state, const QByteArray& bytes) {
    const PictureFile file(bytes);
    for (auto _ : state) {
        QImage picture = readBmpForImport(file.path, HighSize);
        benchmark::DoNotOptimize(picture);
    }
}

void BM_ImportFull4Bit(benchmark::State& state) {
    fullImport(state, fourBitPicture());
}
BENCHMARK(BM_ImportFull4Bit);

void BM_ImportFull24Bit(benchmark::State& state) {
    fullImport(state, twentyFourBitPicture());
}
BENCHMARK(BM_ImportFull24Bit);

void BM_ReadBmp4Bit(benchmark::State& state) {
    readOnly(state, fourBitPicture());
}
BENCHMARK(BM_ReadBmp4Bit);

void BM_ReadBmp24Bit(benchmark::State& state) {
    readOnly(state, twentyFourBitPicture());
}
BENCHMARK(BM_ReadBmp24Bit);

// The map's part alone: clear, pack, match 16384 pixels, draw heights, pack.
void BM_ApplyImportedPicture(benchmark::State& state) {
    const PictureFile file(fourBitPicture());
    const QImage picture = readBmpForImport(file.path, HighSize);
    auto map = mapForImport();
    NullWindow window;
    QRandomGenerator random(1);
    for (auto _ : state) {
        applyImportedPicture(*map, window, Grid::High, picture, random);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ApplyImportedPicture);

} // namespace
