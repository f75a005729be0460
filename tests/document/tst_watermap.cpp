// The map's operations: usage tests, new map, clear, derive and level packing.
#include "document/WaterMap.h"
#include "support/RecordingWindow.h"

#include <QDir>
#include <QTest>
#include <bit>
#include <cmath>

using namespace kelvarin;

namespace {

// A loaded map with every cell dry and all heights 0.
WaterMap dryMap() {
    WaterMap map;
    map.MapLoaded = true;
    map.LowRes.fill(NoWater);
    map.HighRes.fill(NoWater);
    return map;
}

std::uint32_t bits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

const QStringList packUpdates = {"select 0", "height 0", "repaint", "redraw"};

} // namespace

class TestWaterMap : public QObject {
    Q_OBJECT

private slots:
    void usageTestsLookOnlyAtTheirGridAndCodesUpTo15_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("inHigh");
        QTest::addColumn<bool>("used");
        QTest::newRow("level code") << 3 << 3 << true << true;
        QTest::newRow("other code") << 3 << 4 << true << false;
        QTest::newRow("15 is looked up") << 15 << 15 << true << true;
        QTest::newRow("16 never") << 16 << 16 << true << false;
        QTest::newRow("200 never") << 200 << 200 << false << false;
        QTest::newRow("low only") << 5 << 5 << false << true;
    }
    void usageTestsLookOnlyAtTheirGridAndCodesUpTo15() {
        QFETCH(int, stored);
        QFETCH(int, asked);
        QFETCH(bool, inHigh);
        QFETCH(bool, used);
        WaterMap map = dryMap();
        (inHigh ? map.HighRes[777] : map.LowRes[77]) = static_cast<std::uint8_t>(stored);
        const auto code = static_cast<std::uint8_t>(asked);
        QCOMPARE(inHigh ? map.IsLevelUsedHigh(code) : map.IsLevelUsedLow(code), used);
        QCOMPARE(inHigh ? map.IsLevelUsedLow(code) : map.IsLevelUsedHigh(code), false);
    }

    void newMapIsDryAtDefaultPathAndRepeatable() {
        WaterMap map;
        map.Levels.fill(7.0f);
        map.HighRes[5] = 2;
        map.LevelExtents[3].second = 9.0f;
        map.KeptHeights[0] = 4.0f;
        RecordingWindow window(&map);
        for (int round = 0; round < 2; ++round) {
            window.calls.clear();
            map.NewMap(window);
            QVERIFY(map.MapLoaded);
            QCOMPARE(map.FileName, QDir::current().absoluteFilePath("waterpro.dat"));
            QVERIFY(std::all_of(map.HighRes.begin(), map.HighRes.end(),
                                [](auto c) { return c == NoWater; }));
            QVERIFY(std::all_of(map.LowRes.begin(), map.LowRes.end(),
                                [](auto c) { return c == NoWater; }));
            for (float h : map.Levels) {
                QCOMPARE(bits(h), 0u);
            }
            QCOMPARE(window.calls, QStringList{"editing true"} + packUpdates);
        }
        QCOMPARE(map.LevelExtents[3].second, 9.0f); // left alone
        QCOMPARE(map.KeptHeights[0], 0.0f);         // nothing of an old file survives
    }

    void packWithoutMapDoesNothing() {
        WaterMap map;
        map.Levels[0] = 5.0f;
        map.HighRes[0] = 3;
        RecordingWindow window;
        map.PackLevels(window);
        QVERIFY(window.calls.isEmpty());
        QCOMPARE(map.Levels[0], 5.0f);
        QCOMPARE(map.HighRes[0], std::uint8_t(3));
    }

    // Heights 5, 3, 5 in slots 0 to 2 with only codes 1 and 2 in use: the order follows the
    // first slot of each height, counting slot 0 that no cell holds.
    void packOrdersByFirstSlotCountingUnusedSlots() {
        WaterMap map = dryMap();
        map.Levels[0] = 5.0f;
        map.Levels[1] = 3.0f;
        map.Levels[2] = 5.0f;
        map.HighRes[10] = 1;
        map.LowRes[20] = 2;
        RecordingWindow window;
        map.PackLevels(window);
        QCOMPARE(map.Levels[0], 5.0f);
        QCOMPARE(map.Levels[1], 3.0f);
        QCOMPARE(map.LowRes[20], std::uint8_t(0));
        QCOMPARE(map.HighRes[10], std::uint8_t(1));
        for (int i = 2; i < 15; ++i) {
            QCOMPARE(bits(map.Levels[i]), 0u);
        }
        QCOMPARE(window.calls, packUpdates);
    }

    void packMergesEqualHeightsAndKeepsFirstSlotBits() {
        WaterMap map = dryMap();
        map.Levels = {-0.0f, 2.0f, 0.0f, 2.0f, 7.0f};
        map.HighRes[0] = 2; // +0.0 merges into slot 0's -0.0
        map.HighRes[1] = 0;
        map.HighRes[2] = 3; // 2.0 merges into slot 1
        map.LowRes[0] = 1;
        map.LowRes[1] = 4;
        map.HighRes[3] = 200; // dry codes never change
        map.LowRes[2] = 15;
        RecordingWindow window;
        map.PackLevels(window);
        QCOMPARE(bits(map.Levels[0]), bits(-0.0f));
        QCOMPARE(map.Levels[1], 2.0f);
        QCOMPARE(map.Levels[2], 7.0f);
        QCOMPARE(map.HighRes[0], std::uint8_t(0));
        QCOMPARE(map.HighRes[1], std::uint8_t(0));
        QCOMPARE(map.HighRes[2], std::uint8_t(1));
        QCOMPARE(map.LowRes[0], std::uint8_t(1));
        QCOMPARE(map.LowRes[1], std::uint8_t(2));
        QCOMPARE(map.HighRes[3], std::uint8_t(200));
        QCOMPARE(map.LowRes[2], std::uint8_t(15));

        // Packing a packed map changes nothing.
        const WaterMap before = map;
        map.PackLevels(window);
        QCOMPARE(map.Levels, before.Levels);
        QVERIFY(map.HighRes == before.HighRes && map.LowRes == before.LowRes);
    }

    void packKeepsFifteenDistinctLevelsAndInfinities() {
        WaterMap map = dryMap();
        for (int i = 0; i < 15; ++i) {
            map.Levels[i] = static_cast<float>(i) - 7.0f;
            map.HighRes[i * 3] = static_cast<std::uint8_t>(i);
        }
        map.Levels[4] = INFINITY;
        map.Levels[9] = -INFINITY;
        const WaterMap before = map;
        RecordingWindow window;
        map.PackLevels(window);
        QCOMPARE(map.Levels, before.Levels);
        QVERIFY(map.HighRes == before.HighRes);
    }

    void packDropsGapsLevels0And7() {
        WaterMap map = dryMap();
        map.Levels[0] = 1.5f;
        map.Levels[7] = 2.5f;
        map.Levels[3] = 9.0f; // no cell holds it
        map.HighRes[100] = 7;
        map.LowRes[100] = 0;
        RecordingWindow window;
        map.PackLevels(window);
        QCOMPARE(map.Levels[0], 1.5f);
        QCOMPARE(map.Levels[1], 2.5f);
        QCOMPARE(map.HighRes[100], std::uint8_t(1));
        QCOMPARE(map.LowRes[100], std::uint8_t(0));
        for (int i = 2; i < 15; ++i) {
            QCOMPARE(map.Levels[i], 0.0f);
        }
    }

    void clearLevelMovesHigherLevelsDown() {
        WaterMap map = dryMap();
        for (int i = 0; i < 4; ++i) {
            map.Levels[i] = 10.0f + static_cast<float>(i);
            map.HighRes[i] = static_cast<std::uint8_t>(i);
            map.LowRes[i] = static_cast<std::uint8_t>(i);
        }
        map.HighRes[50] = 33; // a dry code from a file stays
        RecordingWindow window;
        map.ClearLevel(1, window);
        QCOMPARE(map.HighRes[1], NoWater);
        QCOMPARE(map.LowRes[1], NoWater);
        QCOMPARE(map.HighRes[2], std::uint8_t(1));
        QCOMPARE(map.HighRes[3], std::uint8_t(2));
        QCOMPARE(map.HighRes[50], std::uint8_t(33));
        QCOMPARE(map.Levels[0], 10.0f);
        QCOMPARE(map.Levels[1], 12.0f);
        QCOMPARE(map.Levels[2], 13.0f);
        QCOMPARE(map.Levels[3], 0.0f);
        QCOMPARE(window.calls, packUpdates);

        // A level no cell holds: no cell changes, packing still runs.
        const WaterMap before = map;
        window.calls.clear();
        map.ClearLevel(9, window);
        QVERIFY(map.HighRes == before.HighRes && map.LowRes == before.LowRes);
        QCOMPARE(window.calls, packUpdates);
    }

    void deriveTakesLowerLeftPixelOfEachBlock() {
        WaterMap map = dryMap();
        for (int i = 0; i < HighCells; ++i) {
            map.HighRes[i] = static_cast<std::uint8_t>((i * 7) % 15);
        }
        map.HighRes[0] = 3;
        map.HighRes[2] = 200; // copied as it stands
        map.HighRes[126] = 5;
        map.HighRes[256] = 9;
        for (int i = 0; i < 15; ++i) {
            map.Levels[i] = static_cast<float>(i);
        }
        map.LowRes[5] = 1; // overwritten
        RecordingWindow window;
        map.DeriveLowRes(window);
        QCOMPARE(map.LowRes[0], std::uint8_t(3));
        QCOMPARE(map.LowRes[1], std::uint8_t(200));
        QCOMPARE(map.LowRes[63], std::uint8_t(5));
        QCOMPARE(map.LowRes[64], std::uint8_t(9));
        for (int x = 0; x < 64; ++x) {
            for (int y = 0; y < 64; ++y) {
                const auto hi = map.HighRes[highCellOf(2 * x, 2 * y + 1)];
                QCOMPARE(map.LowRes[lowCellOf(x, y)], hi);
            }
        }
    }

    void deriveFromDryGridLeavesNoWater() {
        WaterMap map = dryMap();
        map.LowRes[3] = 0;
        map.Levels[0] = 4.0f;
        RecordingWindow window;
        map.DeriveLowRes(window);
        QVERIFY(
            std::all_of(map.LowRes.begin(), map.LowRes.end(), [](auto c) { return c == NoWater; }));
        QCOMPARE(map.Levels[0], 0.0f);
    }

    void setHeightMakesTwinsThatPackingMerges() {
        WaterMap map = dryMap();
        map.Levels = {1.0f, 2.0f, 3.0f};
        map.HighRes[0] = 0;
        map.HighRes[1] = 1;
        map.HighRes[2] = 2;
        map.SetLevelHeight(0, 2.0f);
        QCOMPARE(map.HighRes[0], std::uint8_t(0)); // still separate
        RecordingWindow window;
        map.PackLevels(window);
        QCOMPARE(map.HighRes[0], std::uint8_t(0));
        QCOMPARE(map.HighRes[1], std::uint8_t(0));
        QCOMPARE(map.HighRes[2], std::uint8_t(1));
        QCOMPARE(map.Levels[1], 3.0f);
    }
};

QTEST_GUILESS_MAIN(TestWaterMap)
#include "tst_watermap.moc"
