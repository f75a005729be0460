// The map pictures: size, palette and the cell-to-pixel mapping.
#include "images/MapPicture.h"

#include <QTest>

using namespace kelvarin;

class TestMapPicture : public QObject {
    Q_OBJECT

private slots:
    void paletteIsLevelColoursWithWhiteLast() {
        const QList<QRgb>& palette = MapPalette();
        QCOMPARE(palette.size(), 16);
        QCOMPARE(palette[7], qRgb(128, 128, 128)); // gray before silver
        QCOMPARE(palette[8], qRgb(192, 192, 192));
        QCOMPARE(palette[15], qRgb(255, 255, 255));
        QCOMPARE(palette[3], qRgb(128, 128, 0));
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(palette[i], LevelColors(i).rgb());
            for (int j = 0; j < i; ++j) {
                QVERIFY(palette[i] != palette[j]);
            }
        }
    }

    void cellsLandOnTheirPixels_data() {
        QTest::addColumn<bool>("high");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("code");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("index");
        QTest::newRow("high cell 0 olive") << true << 0 << 3 << QPoint(0, 127) << 3;
        QTest::newRow("high cell 16383") << true << 16383 << 14 << QPoint(127, 0) << 14;
        QTest::newRow("high cell 128") << true << 128 << 0 << QPoint(1, 127) << 0;
        QTest::newRow("gray") << true << 5 << 7 << QPoint(0, 122) << 7;
        QTest::newRow("silver") << true << 5 << 8 << QPoint(0, 122) << 8;
        QTest::newRow("code 15 white") << true << 9 << 15 << QPoint(0, 118) << 15;
        QTest::newRow("code 128 white") << true << 9 << 128 << QPoint(0, 118) << 15;
        QTest::newRow("code 200 white") << true << 9 << 200 << QPoint(0, 118) << 15;
        QTest::newRow("low cell 0") << false << 0 << 6 << QPoint(0, 63) << 6;
        QTest::newRow("low cell 63") << false << 63 << 6 << QPoint(0, 0) << 6;
        QTest::newRow("low cell 64") << false << 64 << 6 << QPoint(1, 63) << 6;
        QTest::newRow("low code 40 white") << false << 64 << 40 << QPoint(1, 63) << 15;
    }
    void cellsLandOnTheirPixels() {
        QFETCH(bool, high);
        QFETCH(int, cell);
        QFETCH(int, code);
        QFETCH(QPoint, pixel);
        QFETCH(int, index);
        WaterMap map;
        map.MapLoaded = true;
        map.HighRes.fill(NoWater);
        map.LowRes.fill(NoWater);
        (high ? map.HighRes[cell] : map.LowRes[cell]) = static_cast<std::uint8_t>(code);
        const QImage picture = high ? renderHighRes(map) : renderLowRes(map);
        QCOMPARE(picture.size(), high ? QSize(128, 128) : QSize(64, 64));
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        QCOMPARE(picture.colorTable(), MapPalette());
        QCOMPARE(picture.pixelIndex(pixel), index);
        int coloured = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                coloured += picture.pixelIndex(x, y) != 15;
            }
        }
        QCOMPARE(coloured, index == 15 ? 0 : 1);
    }

    void heightsPlayNoPart() {
        WaterMap map;
        map.MapLoaded = true;
        for (int i = 0; i < HighCells; ++i) {
            map.HighRes[i] = static_cast<std::uint8_t>(i % 20);
        }
        const QImage before = renderHighRes(map);
        map.Levels[3] = 99.0f;
        QCOMPARE(renderHighRes(map), before);
    }
};

QTEST_GUILESS_MAIN(TestMapPicture)
#include "tst_mappicture.moc"
