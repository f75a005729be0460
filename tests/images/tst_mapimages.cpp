// Picture export and import of the water map: the written bytes, what an import makes of the
// picture's colours and the levels the other grid already uses, and what a refused picture
// leaves alone.
#include "document/Error.h"
#include "images/BmpWriter.h"
#include "images/MapImages.h"
#include "images/MapPicture.h"
#include "support/RecordingWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>

using namespace kelvarin;

namespace {

const QStringList packCalls{"select 0", "height 0", "repaint", "redraw"};

std::unique_ptr<WaterMap> loadedMap() {
    auto map = std::make_unique<WaterMap>();
    map->MapLoaded = true;
    map->FileName = QStringLiteral("/maps/waterpro.dat");
    map->HighRes.fill(NoWater);
    map->LowRes.fill(NoWater);
    return map;
}

int sizeOf(Grid grid) {
    return grid == Grid::High ? HighSize : LowSize;
}

std::uint8_t* cellsOf(WaterMap& map, Grid grid) {
    return grid == Grid::High ? map.HighRes.data() : map.LowRes.data();
}

Grid otherOf(Grid grid) {
    return grid == Grid::High ? Grid::Low : Grid::High;
}

void runImport(Grid grid, WaterMap& map, WindowOps& window, QRandomGenerator& random) {
    (grid == Grid::High ? ImportHighResImage : ImportLowResImage)(map, window, random);
}

void runExport(Grid grid, WaterMap& map, WindowOps& window) {
    (grid == Grid::High ? ExportHighResImage : ExportLowResImage)(map, window);
}

template <std::size_t N> QByteArray bytesOf(const std::array<std::uint8_t, N>& grid) {
    return QByteArray(reinterpret_cast<const char*>(grid.data()), static_cast<qsizetype>(N));
}

QList<quint32> bitsOf(const std::array<float, LevelCount>& levels) {
    QList<quint32> bits;
    for (float h : levels) {
        bits << std::bit_cast<quint32>(h);
    }
    return bits;
}

// Compares every table of two maps, heights bit for bit.
void compareMaps(const WaterMap& actual, const WaterMap& expected) {
    QCOMPARE(bitsOf(actual.Levels), bitsOf(expected.Levels));
    QCOMPARE(bytesOf(actual.HighRes), bytesOf(expected.HighRes));
    QCOMPARE(bytesOf(actual.LowRes), bytesOf(expected.LowRes));
    QCOMPARE(actual.FileName, expected.FileName);
    QCOMPARE(actual.MapLoaded, expected.MapLoaded);
    QVERIFY(std::memcmp(&actual.KeptHeights, &expected.KeptHeights, sizeof actual.KeptHeights) ==
            0);
    QVERIFY(std::memcmp(&actual.LevelExtents, &expected.LevelExtents, sizeof actual.LevelExtents) ==
            0);
}

void packed(WaterMap& map) {
    RecordingWindow quiet;
    map.PackLevels(quiet);
}

// The heights an import draws for levels base to 14 from a generator seeded with `seed`.
QList<float> drawnHeights(quint32 seed, int base) {
    QRandomGenerator random(seed);
    QList<float> heights;
    for (int l = base; l < LevelCount; ++l) {
        heights << provisionalHeight(random.bounded(1000u));
    }
    return heights;
}

bool hasRepeat(const QList<float>& heights) {
    return std::set<float>(heights.begin(), heights.end()).size() != std::size_t(heights.size());
}

// The first seed from 1 up whose draws for levels 0 to 14 repeat a height (or don't).
quint32 seedWhoseDrawsRepeat(bool repeat) {
    quint32 seed = 1;
    while (hasRepeat(drawnHeights(seed, 0)) != repeat) {
        ++seed;
    }
    return seed;
}

// A map picture of S by S whose pixel of cell i has the colour of code codeOf(i) (15: white).
QImage pictureOf(int size, const std::function<int(int)>& codeOf) {
    QImage picture = makeMapPicture(size);
    for (int i = 0; i < size * size; ++i) {
        picture.setPixel(i / size, size - 1 - i % size, static_cast<uint>(codeOf(i)));
    }
    return picture;
}

// An irregular colour for each cell, depending on both picture coordinates; 15 is white.
int patternCode(int i, int size) {
    return (i % 13 + i / size) % 16;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The other grid holds levels 0 to n - 1 (three cells each) with heights 10 + k, and a cell
// with the dry code 15 when asked to.
void useLevels(WaterMap& map, Grid grid, int n, bool withCode15) {
    std::uint8_t* cells = cellsOf(map, grid);
    for (int k = 0; k < n; ++k) {
        std::fill_n(cells + 3 * k, 3, static_cast<std::uint8_t>(k));
        map.Levels[static_cast<std::size_t>(k)] = 10.0f + static_cast<float>(k);
    }
    if (withCode15) {
        cells[200] = 15;
    }
}

} // namespace

class TestMapImages : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void exportWritesThePackedGrid();
    void exportOfNewMap_data();
    void exportOfNewMap();
    void cancelledExportPacksAndWritesNothing();
    void failedExportLeavesNoFile();
    void nothingHappensWithoutMap_data();
    void nothingHappensWithoutMap();

    void roundTripKeepsCodes_data();
    void roundTripKeepsCodes();
    void importStartsAtBaseCode_data();
    void importStartsAtBaseCode();
    void singleDryCellMessage();
    void pictureWithoutLevelColoursLeavesGridDry_data();
    void pictureWithoutLevelColoursLeavesGridDry();
    void unreadablePictureChangesNothing_data();
    void unreadablePictureChangesNothing();
    void cancelledImportChangesNothing();
    void emptyFileImportsAsDry();
    void sameSeedGivesSameHeights();
    void provisionalHeightIsNearestFloat();
    void pictureOfWrongSizeIsRefused();
};

void TestMapImages::exportWritesThePackedGrid() {
    // Slot 2 repeats slot 0's height and slot 4 is held by no cell, so packing turns code 5
    // into 3: cell 0 is written as 3, cell 128 (dry 200) as 15.
    auto map = loadedMap();
    map->Levels = {1.0f, 2.0f, 1.0f, 3.0f, 0.0f, 4.0f};
    map->HighRes[0] = 5;
    map->HighRes[128] = 200;
    map->HighRes[256] = 3;
    map->HighRes[1] = 1;
    map->HighRes[129] = 2;
    RecordingWindow window(map.get());
    window.savePicAnswer = path("packed.bmp");
    ExportHighResImage(*map, window);

    const QByteArray bytes = readFile(path("packed.bmp"));
    QCOMPARE(bytes.size(), 8310);
    QCOMPARE(quint8(bytes[118]), quint8(0x3F));      // cells 0 and 128
    QCOMPARE(quint8(bytes[119]) >> 4, 2);            // cell 256
    QCOMPARE(quint8(bytes[118 + 64]), quint8(0x10)); // second stored row: cells 1 and 129
    QCOMPARE(map->HighRes[0], std::uint8_t(3));
}

void TestMapImages::exportOfNewMap_data() {
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<int>("fileSize");
    QTest::newRow("high") << Grid::High << "Water128.bmp" << 8310;
    QTest::newRow("low") << Grid::Low << "Water64.bmp" << 2166;
}

void TestMapImages::exportOfNewMap() {
    QFETCH(Grid, grid);
    QFETCH(QString, preset);
    QFETCH(int, fileSize);
    auto map = loadedMap();
    RecordingWindow window(map.get());
    window.savePicAnswer = path(preset);

    runExport(grid, *map, window);
    const QByteArray bytes = readFile(path(preset));
    QCOMPARE(bytes.size(), fileSize);
    QCOMPARE(bytes.mid(118), QByteArray(fileSize - 118, '\xFF'));
    QCOMPARE(window.calls, (packCalls + QStringList{"savePic name " + preset, "savePic dialog"}));

    // The preset name is offered again on the next export, whatever the dialog was left with.
    window.calls.clear();
    window.savePicName = QStringLiteral("elsewhere.bmp");
    window.savePicAnswer.reset();
    runExport(grid, *map, window);
    QCOMPARE(window.savePicName, preset);
    QCOMPARE(window.calls, (packCalls + QStringList{"savePic name " + preset, "savePic dialog"}));
}

void TestMapImages::cancelledExportPacksAndWritesNothing() {
    auto map = loadedMap();
    map->Levels[7] = 6.5f;
    map->LowRes[10] = 7;
    RecordingWindow window(map.get());
    // Run in an empty folder, where a write to the preset name would show.
    QTemporaryDir folder;
    const QString home = QDir::currentPath();
    QDir::setCurrent(folder.path());
    ExportLowResImage(*map, window);
    QDir::setCurrent(home);

    QVERIFY(QDir(folder.path()).isEmpty());
    QCOMPARE(map->LowRes[10], std::uint8_t(0));
    QCOMPARE(map->Levels[0], 6.5f);
    QCOMPARE(window.calls.mid(0, 4), packCalls);
    QCOMPARE(window.low.pixelIndex(0, 53), 0); // the held picture shows the packed grid
}

void TestMapImages::failedExportLeavesNoFile() {
    auto map = loadedMap();
    RecordingWindow window(map.get());
    QTemporaryDir folder;
    window.savePicAnswer = folder.filePath("no/such/folder/Water128.bmp");
    try {
        ExportHighResImage(*map, window);
        QFAIL("the export did not fail");
    } catch (const Error& e) {
        QVERIFY2(e.message().startsWith("Cannot create file \"" + *window.savePicAnswer + "\". "),
                 qPrintable(e.message()));
    }
    QVERIFY(QDir(folder.path()).isEmpty());
}

void TestMapImages::nothingHappensWithoutMap_data() {
    QTest::addColumn<bool>("isExport");
    QTest::addColumn<Grid>("grid");
    QTest::newRow("export high") << true << Grid::High;
    QTest::newRow("export low") << true << Grid::Low;
    QTest::newRow("import high") << false << Grid::High;
    QTest::newRow("import low") << false << Grid::Low;
}

void TestMapImages::nothingHappensWithoutMap() {
    QFETCH(bool, isExport);
    QFETCH(Grid, grid);
    WaterMap map;
    map.Levels[3] = 5.0f;
    const WaterMap before = map;
    RecordingWindow window(&map);
    window.savePicAnswer = path("x.bmp");
    window.openPicAnswer = path("x.bmp");
    QRandomGenerator random(1);
    if (isExport) {
        runExport(grid, map, window);
    } else {
        runImport(grid, map, window, random);
    }
    QVERIFY(window.calls.isEmpty());
    QVERIFY(!QFile::exists(path("x.bmp")));
    compareMaps(map, before);
}

void TestMapImages::roundTripKeepsCodes_data() {
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<bool>("repeat");
    QTest::newRow("high, distinct heights") << Grid::High << false;
    QTest::newRow("low, distinct heights") << Grid::Low << false;
    QTest::newRow("high, a height drawn twice") << Grid::High << true;
}

void TestMapImages::roundTripKeepsCodes() {
    QFETCH(Grid, grid);
    QFETCH(bool, repeat);
    const int size = sizeOf(grid);
    const int cellCount = size * size;

    // All 15 levels in use, and the dry codes 15, 200 and 128 among them; the other grid holds
    // no water, only a dry code.
    auto map = loadedMap();
    for (int k = 0; k < LevelCount; ++k) {
        map->Levels[static_cast<std::size_t>(k)] = 20.0f + static_cast<float>(k);
    }
    std::uint8_t* cells = cellsOf(*map, grid);
    const std::uint8_t dryCodes[] = {15, 200, 128};
    for (int i = 0; i < cellCount; ++i) {
        cells[i] = i % 17 == 16 ? dryCodes[i / 17 % 3] : static_cast<std::uint8_t>(i / 7 % 15);
    }
    cellsOf(*map, otherOf(grid))[5] = 200;

    RecordingWindow window(map.get());
    window.savePicAnswer = path("roundtrip.bmp");
    runExport(grid, *map, window);

    // What the import must give: the same water cells, every dry cell 128, new heights for all
    // 15 levels, then one packing.
    WaterMap expected = *map;
    std::uint8_t* expectedCells = cellsOf(expected, grid);
    std::replace_if(
        expectedCells, expectedCells + cellCount, [](std::uint8_t c) { return c >= 15; }, NoWater);
    const quint32 seed = seedWhoseDrawsRepeat(repeat);
    const QList<float> heights = drawnHeights(seed, 0);
    std::copy(heights.begin(), heights.end(), expected.Levels.begin());
    const QByteArray codesBeforePacking =
        QByteArray(reinterpret_cast<const char*>(expectedCells), cellCount);
    packed(expected);

    window.openPicAnswer = path("roundtrip.bmp");
    window.calls.clear();
    QRandomGenerator random(seed);
    runImport(grid, *map, window, random);

    compareMaps(*map, expected);
    QCOMPARE(window.calls, QStringList{"openPic dialog"} + packCalls + packCalls);
    QVERIFY(window.messages.isEmpty());
    const std::set<float> distinct(heights.begin(), heights.end());
    for (int k = 0; k < LevelCount; ++k) {
        const float h = map->Levels[static_cast<std::size_t>(k)];
        if (k < int(distinct.size())) {
            QVERIFY2(h >= 1.0f && h <= 1.999f, qPrintable(QString::number(h)));
        } else {
            QCOMPARE(std::bit_cast<quint32>(h), 0u);
        }
    }
    if (!repeat) {
        // No two levels merged, so every cell holds the code it was exported with.
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(cellsOf(*map, grid)), cellCount),
                 codesBeforePacking);
    }
}

void TestMapImages::importStartsAtBaseCode_data() {
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<int>("otherLevels");
    QTest::addColumn<bool>("otherHasCode15");
    QTest::addColumn<int>("base");
    QTest::newRow("high, other grid dry") << Grid::High << 0 << false << 0;
    QTest::newRow("high, 10 levels in the other grid") << Grid::High << 10 << false << 10;
    QTest::newRow("low, 3 levels in the other grid") << Grid::Low << 3 << false << 3;
    QTest::newRow("low, code 15 with 3 levels") << Grid::Low << 3 << true << 3;
    QTest::newRow("high, all 15 levels") << Grid::High << 15 << false << 15;
    QTest::newRow("low, all 15 levels") << Grid::Low << 15 << false << 15;
    QTest::newRow("high, 15 levels and code 15") << Grid::High << 15 << true << 16;
    QTest::newRow("low, 15 levels and code 15") << Grid::Low << 15 << true << 16;
}

void TestMapImages::importStartsAtBaseCode() {
    QFETCH(Grid, grid);
    QFETCH(int, otherLevels);
    QFETCH(bool, otherHasCode15);
    QFETCH(int, base);
    const int size = sizeOf(grid);
    const int cellCount = size * size;
    const quint32 seed = 99;

    auto map = loadedMap();
    useLevels(*map, otherOf(grid), otherLevels, otherHasCode15);
    std::fill_n(cellsOf(*map, grid), cellCount, std::uint8_t(0)); // replaced by the import
    const auto codeOf = [size](int i) { return patternCode(i, size); };
    writeFile(path("pattern.bmp"), encodeBmp4(pictureOf(size, codeOf)));

    // Colour k becomes code base + k while that is a level code; the other painted cells stay
    // dry and are counted.
    WaterMap expected = *map;
    int stayedDry = 0;
    for (int i = 0; i < cellCount; ++i) {
        const int k = codeOf(i);
        const bool fits = k < 15 && base + k < 15;
        stayedDry += k < 15 && !fits;
        cellsOf(expected, grid)[i] = fits ? static_cast<std::uint8_t>(base + k) : NoWater;
    }
    const QList<float> heights = drawnHeights(seed, base);
    std::copy(heights.begin(), heights.end(), expected.Levels.begin() + base);
    packed(expected);

    RecordingWindow window(map.get());
    window.openPicAnswer = path("pattern.bmp");
    QRandomGenerator random(seed);
    runImport(grid, *map, window, random);

    compareMaps(*map, expected);
    if (base >= 15) {
        QVERIFY(std::all_of(cellsOf(*map, grid), cellsOf(*map, grid) + cellCount,
                            [](std::uint8_t c) { return c == NoWater; }));
        QCOMPARE(random.generate(), QRandomGenerator(seed).generate()); // nothing drawn
    }
    if (stayedDry == 0) {
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.calls.last(), QString("redraw"));
    } else {
        // The message comes after the final packing.
        QCOMPARE(window.calls.last(), QString("message"));
        QCOMPARE(window.messages,
                 QStringList{QString("%1 painted cells stayed dry: the %2 map already uses %3 of "
                                     "the 15 levels.")
                                 .arg(stayedDry)
                                 .arg(grid == Grid::High ? "64x64" : "128x128")
                                 .arg(std::min(base, 15))});
    }
}

void TestMapImages::singleDryCellMessage() {
    auto map = loadedMap();
    useLevels(*map, Grid::High, 15, false);
    writeFile(path("one.bmp"),
              encodeBmp4(pictureOf(LowSize, [](int i) { return i == 77 ? 9 : 15; })));
    RecordingWindow window(map.get());
    window.openPicAnswer = path("one.bmp");
    QRandomGenerator random(3);
    ImportLowResImage(*map, window, random);
    QCOMPARE(window.messages,
             QStringList{"1 painted cell stayed dry: the 128x128 map already uses 15 of the 15 "
                         "levels."});
}

void TestMapImages::pictureWithoutLevelColoursLeavesGridDry_data() {
    QTest::addColumn<bool>("ownTable");
    QTest::newRow("only white") << false;
    QTest::newRow("4-bit table of other colours") << true;
}

void TestMapImages::pictureWithoutLevelColoursLeavesGridDry() {
    QFETCH(bool, ownTable);
    auto map = loadedMap();
    useLevels(*map, Grid::Low, 3, false);
    std::fill_n(map->HighRes.begin(), 500, std::uint8_t(1));
    map->Levels[9] = 77.0f; // held by no cell

    QImage picture = pictureOf(HighSize, [ownTable](int i) { return ownTable ? i % 16 : 15; });
    if (ownTable) {
        QList<QRgb> table;
        for (int k = 0; k < 16; ++k) {
            table << qRgb(250, 10, k); // near the level colours, equal to none
        }
        picture.setColorTable(table);
    }
    writeFile(path("nolevels.bmp"), encodeBmp4(picture));

    RecordingWindow window(map.get());
    window.openPicAnswer = path("nolevels.bmp");
    QRandomGenerator random(5);
    ImportHighResImage(*map, window, random);

    QCOMPARE(bytesOf(map->HighRes), QByteArray(HighCells, char(NoWater)));
    const QList<quint32> bits = bitsOf(map->Levels);
    QCOMPARE(bits.mid(0, 3),
             (QList<quint32>{std::bit_cast<quint32>(10.0f), std::bit_cast<quint32>(11.0f),
                             std::bit_cast<quint32>(12.0f)}));
    QCOMPARE(bits.mid(3), QList<quint32>(12, 0u));
    QVERIFY(window.messages.isEmpty());
}

void TestMapImages::unreadablePictureChangesNothing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("JPEG") << QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000ffd9")
                          << "Bitmap image is not valid";
    QTest::newRow("shorter than the file header")
        << QByteArray("BM\x10\0", 4) << "Stream read error";
    QByteArray cut = encodeBmp4(makeMapPicture(HighSize));
    cut.chop(100);
    QTest::newRow("pixel data cut short") << cut << "Bitmap image is not valid";
    QTest::newRow("missing file") << QByteArray() << "Cannot open file \"";
}

void TestMapImages::unreadablePictureChangesNothing() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const bool missing = message.startsWith("Cannot open");
    const QString picture = path(missing ? "missing.bmp" : "bad.bmp");
    if (!missing) {
        writeFile(picture, content);
    }

    // An unpacked map, so that a packing would show: slot 0 held by no cell, level 4 repeats
    // level 2's height.
    auto map = loadedMap();
    map->Levels = {9.0f, 0.0f, 3.0f, 0.0f, 3.0f};
    std::fill_n(map->HighRes.begin(), 40, std::uint8_t(2));
    std::fill_n(map->HighRes.begin() + 40, 40, std::uint8_t(4));
    std::fill_n(map->LowRes.begin(), 10, std::uint8_t(4));
    const WaterMap before = *map;

    for (Grid grid : {Grid::High, Grid::Low}) {
        RecordingWindow window(map.get());
        window.openPicAnswer = picture;
        QRandomGenerator random(11);
        try {
            runImport(grid, *map, window, random);
            QFAIL("the import did not fail");
        } catch (const Error& e) {
            QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
        }
        compareMaps(*map, before);
        QCOMPARE(window.calls, QStringList{"openPic dialog"});
        QCOMPARE(random.generate(), QRandomGenerator(11).generate());
    }
}

void TestMapImages::cancelledImportChangesNothing() {
    auto map = loadedMap();
    map->Levels[5] = 2.0f;
    map->HighRes[0] = 5;
    const WaterMap before = *map;
    RecordingWindow window(map.get());
    QRandomGenerator random(1);
    ImportHighResImage(*map, window, random);
    compareMaps(*map, before);
    QCOMPARE(window.calls, QStringList{"openPic dialog"});
}

void TestMapImages::emptyFileImportsAsDry() {
    writeFile(path("empty.bmp"), QByteArray());
    auto map = loadedMap();
    map->Levels[0] = 4.0f;
    std::fill_n(map->LowRes.begin(), 100, std::uint8_t(0));
    std::fill_n(map->HighRes.begin(), 100, std::uint8_t(0));
    RecordingWindow window(map.get());
    window.openPicAnswer = path("empty.bmp");
    QRandomGenerator random(1);
    ImportLowResImage(*map, window, random);
    QCOMPARE(bytesOf(map->LowRes), QByteArray(LowCells, char(NoWater)));
    QCOMPARE(map->HighRes[99], std::uint8_t(0));
    QCOMPARE(map->Levels[0], 4.0f);
    QCOMPARE(map->Levels[1], 0.0f);
    QCOMPARE(window.calls, QStringList{"openPic dialog"} + packCalls + packCalls);
}

void TestMapImages::sameSeedGivesSameHeights() {
    writeFile(path("seeded.bmp"),
              encodeBmp4(pictureOf(HighSize, [](int i) { return patternCode(i, HighSize); })));
    QList<QList<quint32>> results;
    for (quint32 seed : {2024u, 2024u, 2025u}) {
        auto map = loadedMap();
        RecordingWindow window(map.get());
        window.openPicAnswer = path("seeded.bmp");
        QRandomGenerator random(seed);
        ImportHighResImage(*map, window, random);
        results << bitsOf(map->Levels);
    }
    QCOMPARE(results[0], results[1]);
    QVERIFY(results[0] != results[2]);
}

void TestMapImages::provisionalHeightIsNearestFloat() {
    QCOMPARE(provisionalHeight(0), 1.0f);
    QCOMPARE(provisionalHeight(675), 1.675f);
    QCOMPARE(provisionalHeight(999), 1.999f);
    // Every height lies in [1, 2), where a float is m / 2^23. The nearest to (1000 + r) / 1000
    // is m = round((1000 + r) * 2^23 / 1000), computed here in whole numbers.
    for (quint32 r = 0; r < 1000; ++r) {
        const qint64 scaled = qint64(1000 + r) << 23;
        const qint64 nearest = scaled / 1000 + (2 * (scaled % 1000) >= 1000 ? 1 : 0);
        const double m = double(provisionalHeight(r)) * double(1 << 23);
        QCOMPARE(m, double(nearest));
    }
}

void TestMapImages::pictureOfWrongSizeIsRefused() {
    auto map = loadedMap();
    map->HighRes[0] = 3;
    const WaterMap before = *map;
    RecordingWindow window(map.get());
    QRandomGenerator random(1);
    QVERIFY_THROWS_EXCEPTION(
        std::invalid_argument,
        applyImportedPicture(*map, window, Grid::Low, makeMapPicture(128), random));
    compareMaps(*map, before);
    QVERIFY(window.calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestMapImages)
#include "tst_mapimages.moc"
