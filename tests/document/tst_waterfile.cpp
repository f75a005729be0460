// Opening and saving water files: the reduction to 15 levels, the layout, and failures that
// must leave everything as it was.
#include "document/Error.h"
#include "document/WaterFile.h"
#include "support/RecordingWindow.h"
#include "support/WaterFileBuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <cmath>
#include <limits>

using namespace kelvarin;

namespace {

std::uint32_t bits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

// A map loaded from its own state, to see that a refused open leaves it alone.
WaterMap loadedMap() {
    WaterMap map;
    map.MapLoaded = true;
    map.FileName = QStringLiteral("/old/waterpro.dat");
    map.Levels[0] = 6.5f;
    map.LowRes.fill(NoWater);
    map.HighRes.fill(0);
    map.KeptHeights[2] = 8.0f;
    return map;
}

bool sameMap(const WaterMap& a, const WaterMap& b) {
    return a.FileName == b.FileName && a.MapLoaded == b.MapLoaded && a.Levels == b.Levels &&
           a.LowRes == b.LowRes && a.HighRes == b.HighRes && a.KeptHeights == b.KeptHeights &&
           std::memcmp(a.LevelExtents.data(), b.LevelExtents.data(), sizeof a.LevelExtents) == 0;
}

} // namespace

class TestWaterFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    // Stored heights 2.5, 4.0, 2.5, 4.0, then zeros; cells 0 to 4 and 128.
    void openReducesHeightsAndRenumbers() {
        WaterFileBuilder file;
        file.header = 0xDEADBEEF; // any header word is accepted
        file.heights[0] = 2.5f;
        file.heights[1] = 4.0f;
        file.heights[2] = 2.5f;
        file.heights[3] = 4.0f;
        for (int c = 0; c <= 4; ++c) {
            file.high[c] = static_cast<std::uint8_t>(c);
        }
        file.low[0] = 128;
        file.extents[5] = {1, 2, 3, 4};
        file.writeTo(path("a.dat"));

        WaterMap map;
        RecordingWindow window(&map);
        window.openAnswer = path("a.dat");
        OpenWaterFile(map, window);

        QVERIFY(map.MapLoaded);
        QCOMPARE(map.FileName, path("a.dat"));
        QCOMPARE(window.picturesFolder, dir.path());
        QCOMPARE(map.HighRes[0], std::uint8_t(0));
        QCOMPARE(map.HighRes[1], std::uint8_t(1));
        QCOMPARE(map.HighRes[2], std::uint8_t(0));
        QCOMPARE(map.HighRes[3], std::uint8_t(1));
        QCOMPARE(map.HighRes[4], std::uint8_t(2));
        QCOMPARE(map.HighRes[5], std::uint8_t(128));
        QCOMPARE(map.Levels[0], 2.5f);
        QCOMPARE(map.Levels[1], 4.0f);
        QCOMPARE(map.Levels[2], 0.0f);
        QVERIFY(map.IsLevelUsed(2));
        QCOMPARE(window.calls, (QStringList{"open dialog", "pictures folder", "select 0",
                                            "height 0", "redraw", "editing true"}));
        const auto fixed = fixedExtents();
        QCOMPARE(bits(map.LevelExtents[0].first), 0xC53B8000u);
        QCOMPARE(bits(map.LevelExtents[0].second), 0x453B8000u);
        QCOMPARE(bits(map.LevelExtents[5].first), 0x49742400u);
        QCOMPARE(bits(map.LevelExtents[5].second), 0xC9742400u);
        QVERIFY(std::memcmp(map.LevelExtents.data(), fixed.data(), sizeof fixed) == 0);
    }

    void openMapsCodesToFirstPositionOfTheirHeight_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expected");
        QTest::newRow("20 shares the height of 3") << 20 << 3;
        QTest::newRow("48 left alone") << 48 << 48;
        QTest::newRow("128 left alone") << 128 << 128;
        QTest::newRow("255 left alone") << 255 << 255;
        QTest::newRow("14 unique") << 14 << 4;
    }
    void openMapsCodesToFirstPositionOfTheirHeight() {
        QFETCH(int, code);
        QFETCH(int, expected);
        WaterFileBuilder file;
        for (int c = 0; c < 48; ++c) {
            file.heights[c] = 100.0f; // one height for all positions but these:
        }
        file.heights[0] = 1.0f;
        file.heights[1] = 2.0f;
        file.heights[2] = 3.0f;
        file.heights[3] = 4.0f;
        file.heights[20] = 4.0f;
        file.heights[14] = 100.0f;
        file.high[7] = static_cast<std::uint8_t>(code);
        const DecodedWaterFile decoded = decodeWaterFile(file.bytes(), "x");
        QCOMPARE(int(decoded.HighRes[7]), expected);
    }

    // More than 15 distinct heights: the later ones stay dry to the editor, but their codes and
    // heights go back to the file so the game still sees water there.
    void openKeepsHeightsOfCodesBeyondFifteenLevels() {
        WaterFileBuilder file;
        for (int c = 0; c < 48; ++c) {
            file.heights[c] = 10.0f + static_cast<float>(c);
        }
        for (int c = 0; c < 48; ++c) {
            file.high[c] = static_cast<std::uint8_t>(c);
        }
        file.low[0] = 30;
        file.writeTo(path("many.dat"));

        WaterMap map;
        RecordingWindow window(&map);
        OpenWaterFileAt(map, window, path("many.dat"));
        for (int c = 0; c < 48; ++c) {
            QCOMPARE(int(map.HighRes[c]), c);
        }
        QCOMPARE(map.Levels[14], 24.0f);
        QCOMPARE(map.KeptHeights[0], 25.0f);  // code 15
        QCOMPARE(map.KeptHeights[32], 57.0f); // code 47

        window.saveAnswer = true;
        SaveWaterFile(map, window);
        const QByteArray saved = readAll(path("many.dat"));
        QCOMPARE(saved.size(), WaterFileSize);
        for (int c = 0; c < 48; ++c) {
            QCOMPARE(floatAtOffset(saved, 4 + 4 * c), 10.0f + static_cast<float>(c));
        }
        QCOMPARE(quint8(saved[5060 + 47]), quint8(47));
        QCOMPARE(quint8(saved[964]), quint8(30));
    }

    void keptHeightIsWrittenOnlyWhileACellHoldsTheCode() {
        WaterMap map;
        map.MapLoaded = true;
        map.LowRes.fill(NoWater);
        map.HighRes.fill(NoWater);
        map.KeptHeights[5] = 3.0f; // code 20, but no cell holds it any more
        map.KeptHeights[6] = 4.0f; // code 21
        map.LowRes[9] = 21;
        const QByteArray bytes = encodeWaterFile(map);
        QCOMPARE(bits(floatAtOffset(bytes, 4 + 4 * 20)), 0u);
        QCOMPARE(floatAtOffset(bytes, 4 + 4 * 21), 4.0f);
    }

    void openWithUnusedFirstHeightAndSignedZeros() {
        WaterFileBuilder file;
        file.heights[0] = 9.0f; // no cell uses code 0
        file.heights[1] = -0.0f;
        file.heights[2] = 0.0f;
        file.heights[3] = 5.0f;
        file.high[0] = 2;
        file.high[1] = 3;
        const DecodedWaterFile d = decodeWaterFile(file.bytes(), "x");
        QCOMPARE(bits(d.Levels[0]), 0u); // not in use: 0.0
        QCOMPARE(bits(d.Levels[1]), bits(-0.0f));
        QCOMPARE(int(d.HighRes[0]), 1); // +0.0 counts as -0.0
        QCOMPARE(int(d.HighRes[1]), 2);
    }

    void roundTripOfReducedFileIsByteExact() {
        WaterFileBuilder file;
        file.heights[0] = 2.25f;
        file.heights[1] = -1.5f;
        file.heights[2] = INFINITY;
        const auto fixed = fixedExtents();
        for (int r = 0; r < 48; ++r) {
            file.extents[r] = {fixed[r].first, fixed[r].second, fixed[r].third, fixed[r].fourth};
        }
        for (int i = 0; i < HighCells; ++i) {
            file.high[i] = static_cast<std::uint8_t>(i % 5 == 4 ? 128 + i % 100 : i % 3);
        }
        for (int i = 0; i < LowCells; ++i) {
            file.low[i] = static_cast<std::uint8_t>(i % 7 == 0 ? 255 : 2 - i % 3);
        }
        const QByteArray original = file.bytes();
        WaterFileBuilder::writeBytes(path("exact.dat"), original + QByteArray(100, 'x'));

        WaterMap map;
        RecordingWindow window(&map);
        OpenWaterFileAt(map, window, path("exact.dat")); // longer: its first 21444 bytes count
        SaveWaterFile(map, window);
        QCOMPARE(readAll(path("exact.dat")), original);
    }

    // The demo map (tools/make-demo-map.py): seven levels, both grids, the fixed extents.
    void demoFixtureOpensAndSavesUnchanged() {
        const QString fixture = QStringLiteral(KELVARIN_FIXTURES_DIR "/demo-waterpro.dat");
        const QByteArray original = readAll(fixture);
        QCOMPARE(original.size(), WaterFileSize);
        const QString copy = path("demo.dat");
        WaterFileBuilder::writeBytes(copy, original);
        WaterMap map;
        RecordingWindow window(&map);
        OpenWaterFileAt(map, window, copy);
        QCOMPARE(map.Levels[6], 48.25f);
        QVERIFY(map.IsLevelUsedHigh(6) && map.IsLevelUsedLow(6) && !map.IsLevelUsed(7));
        SaveWaterFile(map, window);
        QCOMPARE(readAll(copy), original);
    }

    void newMapSavedBeforeAnyOpenHasZeroExtents() {
        WaterMap map;
        RecordingWindow window(&map);
        map.NewMap(window);
        map.FileName = path("new.dat");
        SaveWaterFile(map, window);
        const QByteArray saved = readAll(path("new.dat"));
        QCOMPARE(saved.size(), WaterFileSize);
        QCOMPARE(qFromLittleEndian<quint32>(saved.constData()), 33u);
        QCOMPARE(saved.mid(4, 964 - 4), QByteArray(960, '\0'));
        QCOMPARE(saved.mid(964), QByteArray(LowCells + HighCells, char(128)));
    }

    void saveAsksPacksThenWrites() {
        WaterMap map;
        map.MapLoaded = true;
        map.FileName = path("s.dat");
        map.LowRes.fill(NoWater);
        map.HighRes.fill(NoWater);
        map.Levels[3] = 7.0f;
        map.HighRes[0] = 3;
        RecordingWindow window(&map);

        window.saveAnswer = false;
        SaveWaterFile(map, window);
        QCOMPARE(window.calls, QStringList{"confirm"});
        QCOMPARE(window.lastQuestion,
                 QString("Would you like to save all changes\r\nmade to " + path("s.dat") + "?"));
        QVERIFY(!QFile::exists(path("s.dat")));
        QCOMPARE(int(map.HighRes[0]), 3); // No: not packed either

        window.calls.clear();
        window.saveAnswer = true;
        SaveWaterFile(map, window);
        QCOMPARE(window.calls,
                 (QStringList{"confirm", "select 0", "height 0", "repaint", "redraw"}));
        const QByteArray saved = readAll(path("s.dat"));
        QCOMPARE(floatAtOffset(saved, 4), 7.0f);
        QCOMPARE(quint8(saved[5060]), quint8(0));
    }

    void saveDoesNothingWithoutMapOrName_data() {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("name");
        QTest::newRow("no map") << false << "/tmp/x.dat";
        QTest::newRow("empty name") << true << "";
        QTest::newRow("control characters and spaces") << true << QString(" \t\n\x01 ");
    }
    void saveDoesNothingWithoutMapOrName() {
        QFETCH(bool, loaded);
        QFETCH(QString, name);
        WaterMap map;
        map.MapLoaded = loaded;
        map.FileName = name;
        RecordingWindow window(&map);
        SaveWaterFile(map, window);
        QVERIFY(window.calls.isEmpty());
    }

    void cancelledOpenChangesNothing() {
        WaterMap map = loadedMap();
        const WaterMap before = map;
        RecordingWindow window(&map);
        OpenWaterFile(map, window);
        QCOMPARE(window.calls, QStringList{"open dialog"});
        QVERIFY(sameMap(map, before));
    }

    void refusedOpenChangesNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("short") << QByteArray(100, '\0')
                               << "is not a water file: it holds 100 bytes, 21444 expected";
        QTest::newRow("empty") << QByteArray()
                               << "is not a water file: it holds 0 bytes, 21444 expected";
        WaterFileBuilder nan;
        nan.heights[20] = std::numeric_limits<float>::quiet_NaN();
        nan.low[4095] = 20;
        QTest::newRow("NaN named by a cell")
            << nan.bytes()
            << "is not a water file: its cells name stored height 20, which is not a number";
    }
    void refusedOpenChangesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        WaterFileBuilder::writeBytes(path("bad.dat"), content);
        WaterMap map = loadedMap();
        const WaterMap before = map;
        RecordingWindow window(&map);
        window.openAnswer = path("bad.dat");
        try {
            OpenWaterFile(map, window);
            QFAIL("the file was accepted");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QString("\"" + path("bad.dat") + "\" " + message));
        }
        QVERIFY(sameMap(map, before));
        QCOMPARE(window.calls, QStringList{"open dialog"});
    }

    void nanHeightNoCellNamesIsIgnored() {
        WaterFileBuilder file;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        file.heights[0] = nan;
        file.heights[1] = 3.0f;
        file.heights[2] = nan;
        file.heights[3] = 4.0f;
        file.high[0] = 1;
        file.high[1] = 3;
        file.high[2] = 40; // height 0.0, after 3.0 and 4.0 in the list
        const DecodedWaterFile d = decodeWaterFile(file.bytes(), "x");
        QCOMPARE(int(d.HighRes[0]), 0);
        QCOMPARE(int(d.HighRes[1]), 1);
        QCOMPARE(int(d.HighRes[2]), 2);
        QCOMPARE(d.Levels[0], 3.0f);
        QCOMPARE(d.Levels[1], 4.0f);
        for (float h : d.Levels) {
            QVERIFY(!std::isnan(h));
        }
    }

    void openOfUnreadablePathNamesFileAndCause_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "missing.dat";
        QTest::newRow("folder") << "folder";
    }
    void openOfUnreadablePathNamesFileAndCause() {
        QFETCH(QString, name);
        QDir(dir.path()).mkdir("folder");
        WaterMap map = loadedMap();
        const WaterMap before = map;
        RecordingWindow window(&map);
        try {
            OpenWaterFileAt(map, window, path(name));
            QFAIL("opened");
        } catch (const Error& e) {
            QVERIFY2(e.message().startsWith("Cannot open file \"" + path(name) + "\". "),
                     qPrintable(e.message()));
            QVERIFY(e.message().size() >
                    QString("Cannot open file \"" + path(name) + "\". ").size());
        }
        QVERIFY(sameMap(map, before));
    }

    void failedSaveKeepsPackingAndOldFile() {
        WaterMap map;
        map.MapLoaded = true;
        map.LowRes.fill(NoWater);
        map.HighRes.fill(NoWater);
        map.Levels[4] = 1.0f;
        map.HighRes[0] = 4;
        map.FileName = path("nowhere/waterpro.dat");
        RecordingWindow window(&map);
        QVERIFY_THROWS_EXCEPTION(Error, SaveWaterFile(map, window));
        QCOMPARE(int(map.HighRes[0]), 0); // packed before the write
        QVERIFY(!QFile::exists(map.FileName));
    }
};

QTEST_GUILESS_MAIN(TestWaterFile)
#include "tst_waterfile.moc"
