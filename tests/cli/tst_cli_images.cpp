// kelvarin-cli export and import: the files written, the map an import saves, the warning for
// cells that stayed dry and the refusal of a bad picture.
#include "images/BmpWriter.h"
#include "images/MapPicture.h"
#include "support/CliRun.h"
#include "support/WaterFileBuilder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

// A 128 by 128 picture: 100 red cells (the colour of level code 9) and 50 green (code 2).
QByteArray redAndGreenPicture() {
    QImage picture = kelvarin::makeMapPicture(128);
    for (int i = 0; i < 150; ++i) {
        picture.setPixel(i / 128, 127 - i % 128, i < 100 ? 9 : 2);
    }
    return kelvarin::encodeBmp4(picture);
}

} // namespace

class TestCliImages : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    QString newMap() {
        const QString p = path("new.dat");
        if (cli({"new", p}).code != 0) {
            qFatal("new failed");
        }
        return p;
    }

    // The 64 by 64 grid uses all 15 levels.
    QString fullLowMap() {
        WaterFileBuilder f;
        for (int k = 0; k < 15; ++k) {
            f.heights[static_cast<std::size_t>(k)] = 10.0f + static_cast<float>(k);
            f.low[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
        }
        const QString p = path("full.dat");
        f.writeTo(p);
        return p;
    }

    QString picture() {
        const QString p = path("paint.bmp");
        WaterFileBuilder::writeBytes(p, redAndGreenPicture());
        return p;
    }

private slots:
    void exportWritesPicture_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("size");
        QTest::newRow("high") << "high" << 8310;
        QTest::newRow("low") << "low" << 2166;
    }
    void exportWritesPicture() {
        QFETCH(QString, grid);
        QFETCH(int, size);
        const QString file = newMap();
        const QByteArray before = readAll(file);
        const CliRun r = cli({"export", file, grid, path(grid + ".bmp")});
        QCOMPARE(r.code, 0);
        const QByteArray bytes = readAll(path(grid + ".bmp"));
        QCOMPARE(bytes.size(), size);
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(readAll(file), before); // an export doesn't save the map
    }

    void importSavesTheNewLevels() {
        const QString file = newMap();
        const QString out = path("imported.dat");
        CliRun r = cli({"import", file, "high", picture(), "--seed", "7", "-o", out});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());

        r = cli({"info", out, "--json"});
        QCOMPARE(r.code, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonArray levels = o["levels"].toArray();
        QList<int> cellsHigh;
        for (const auto& value : levels) {
            const QJsonObject level = value.toObject();
            QCOMPARE(level["cellsLow"].toInt(), 0);
            if (level["used"].toBool()) {
                cellsHigh << level["cellsHigh"].toInt();
                const double height = level["height"].toString().toDouble();
                QVERIFY2(height >= 1.0 && height <= 1.999, qPrintable(level["height"].toString()));
            }
        }
        std::sort(cellsHigh.begin(), cellsHigh.end());
        QCOMPARE(cellsHigh, (QList<int>{50, 100}));
        QCOMPARE(o["dryHigh"].toInt(), 16384 - 150);
        QCOMPARE(o["dryLow"].toInt(), 4096);

        // The same seed gives the same file.
        QCOMPARE(
            cli({"import", file, "high", picture(), "--seed", "7", "-o", path("again.dat")}).code,
            0);
        QCOMPARE(readAll(path("again.dat")), readAll(out));
    }

    void dryCellsWarningGoesToStandardError() {
        const QString file = fullLowMap();
        const QString out = path("warned.dat");
        QProcess p;
        p.start(KELVARIN_CLI_PATH, {"import", file, "high", picture(), "--seed", "1", "-o", out});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray());
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(),
                 QString("150 painted cells stayed dry: the 64x64 map already uses 15 of the 15 "
                         "levels."));
        const QByteArray saved = readAll(out);
        QCOMPARE(saved.size(), 21444);
        QCOMPARE(saved.mid(5060), QByteArray(16384, char(128))); // the 128x128 grid is dry
    }

    void badPictureExitsOneAndWritesNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a BMP")
            << QByteArray("GIF89a\x01\0\x01\0\0\0\0;", 14) << "Bitmap image is not valid";
        QTest::newRow("missing") << QByteArray() << "Cannot open file";
    }
    void badPictureExitsOneAndWritesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString file = fullLowMap();
        const QByteArray before = readAll(file);
        const QString bad = path(content.isEmpty() ? "missing.bmp" : "bad.bmp");
        if (!content.isEmpty()) {
            WaterFileBuilder::writeBytes(bad, content);
        }
        CliRun r = cli({"import", file, "low", bad, "-o", path("never.dat")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("never.dat")));

        r = cli({"import", file, "high", bad});
        QCOMPARE(r.code, 1);
        QCOMPARE(readAll(file), before);
    }
};

QTEST_GUILESS_MAIN(TestCliImages)
#include "tst_cli_images.moc"
