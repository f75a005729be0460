// The water map's hot paths: decoding a water file, packing, and a full safe save.
#include "NullWindow.h"
#include "document/SafeSave.h"
#include "document/WaterFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace kelvarin;

namespace {

// A map that looks like a real one: 15 levels in patches of water over about two thirds of
// both grids, the rest dry.
std::unique_ptr<WaterMap> fifteenLevelMap() {
    auto map = std::make_unique<WaterMap>();
    map->MapLoaded = true;
    for (int k = 0; k < LevelCount; ++k) {
        map->Levels[static_cast<std::size_t>(k)] = 2.5f * static_cast<float>(k) - 3.0f;
    }
    for (int x = 0; x < HighSize; ++x) {
        for (int y = 0; y < HighSize; ++y) {
            const int patch = x / 9 + y / 11;
            map->HighRes[static_cast<std::size_t>(highCellOf(x, y))] =
                patch % 3 == 2 ? NoWater : static_cast<std::uint8_t>(patch % LevelCount);
        }
    }
    for (int x = 0; x < LowSize; ++x) {
        for (int y = 0; y < LowSize; ++y) {
            map->LowRes[static_cast<std::size_t>(lowCellOf(x, y))] =
                map->HighRes[static_cast<std::size_t>(highCellOf(2 * x, 2 * y + 1))];
        }
    }
    map->LevelExtents = fixedExtents();
    return map;
}

void BM_DecodeWaterFile(benchmark::State& state) {
    const QByteArray bytes = encodeWaterFile(*fifteenLevelMap());
    const QString path = QStringLiteral("waterpro.dat");
    for (auto _ : state) {
        DecodedWaterFile decoded = decodeWaterFile(bytes, path);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeWaterFile);

// Packing a packed map: the usual case before a save or an export.
void BM_PackLevelsPacked(benchmark::State& state) {
    auto map = fifteenLevelMap();
    NullWindow window;
    for (auto _ : state) {
        map->PackLevels(window);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PackLevelsPacked);

// Packing a map whose 15 levels sit in reverse order of first slots with one repeated height,
// so that every level is renumbered; the 20 KB copy that restores it is part of the time.
void BM_PackLevelsRenumbering(benchmark::State& state) {
    auto start = fifteenLevelMap();
    for (int k = 0; k < LevelCount; ++k) {
        start->Levels[static_cast<std::size_t>(k)] = 50.0f - static_cast<float>(k);
    }
    start->Levels[9] = start->Levels[3];
    auto map = std::make_unique<WaterMap>();
    NullWindow window;
    for (auto _ : state) {
        *map = *start;
        map->PackLevels(window);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PackLevelsRenumbering);

void BM_SaveWaterFile(benchmark::State& state) {
    const auto map = fifteenLevelMap();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("waterpro.dat"));
    for (auto _ : state) {
        saveFileSafely(path, encodeWaterFile(*map));
    }
}
BENCHMARK(BM_SaveWaterFile);

} // namespace
