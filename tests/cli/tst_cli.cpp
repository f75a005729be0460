// kelvarin-cli: its commands in-process, and the real binary's exit codes and streams.
#include "support/CliRun.h"
#include "support/WaterFileBuilder.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    // Two levels: 2.5 in 120 high cells and 30 low cells, 4.0 in 5 high cells; one cell with a
    // code beyond the 15 levels.
    QString sample() {
        WaterFileBuilder f;
        for (int c = 0; c < 48; ++c) {
            f.heights[c] = 100.0f + static_cast<float>(c);
        }
        f.heights[0] = 2.5f;
        f.heights[1] = 4.0f;
        std::fill_n(f.high.begin(), 120, 0);
        std::fill_n(f.high.begin() + 200, 5, 1);
        std::fill_n(f.low.begin(), 30, 0);
        f.high[1000] = 40;
        const QString p = path("sample.dat");
        f.writeTo(p);
        return p;
    }

private slots:
    void infoJsonDescribesTheMap() {
        const QString file = sample();
        const CliRun r = cli({"info", file, "--json"});
        QCOMPARE(r.code, 0);
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o["file"].toString(), file);
        const QJsonArray levels = o["levels"].toArray();
        QCOMPARE(levels.size(), 15);
        const QJsonObject first = levels[0].toObject();
        QCOMPARE(first["level"].toInt(), 1);
        QCOMPARE(first["height"].toString(), QString("2.5"));
        QCOMPARE(first["bits"].toString(), QString("40200000"));
        QCOMPARE(first["used"].toBool(), true);
        QCOMPARE(first["cellsHigh"].toInt(), 120);
        QCOMPARE(first["cellsLow"].toInt(), 30);
        QCOMPARE(levels[1].toObject()["cellsHigh"].toInt(), 5);
        QCOMPARE(levels[2].toObject()["used"].toBool(), false);
        QCOMPARE(o["dryHigh"].toInt(), 16384 - 125);
        QCOMPARE(o["dryLow"].toInt(), 4096 - 30);
        QCOMPARE(o["keptHigh"].toInt(), 1);
        QCOMPARE(o["keptLow"].toInt(), 0);
    }

    void infoTableShowsHeightsAndUnusedLevels() {
        const CliRun r = cli({"info", sample()});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QRegularExpression("01\\s+2.5\\s+40200000\\s+120\\s+30")));
        QVERIFY(r.out.contains(QRegularExpression("03\\s+\\(not used\\)")));
    }

    void editingCommandsSaveToOutputOrInPlace() {
        const QString file = sample();
        const QByteArray before = readAll(file);
        QCOMPARE(cli({"set-height", file, "2", "7.25", "-o", path("out.dat")}).code, 0);
        QCOMPARE(readAll(file), before); // -o leaves FILE alone
        const QByteArray out = readAll(path("out.dat"));
        QCOMPARE(out.size(), 21444);
        QCOMPARE(floatAtOffset(out, 8), 7.25f);

        // A negative height is a value, not an option, also before -o.
        QCOMPARE(cli({"set-height", file, "2", "-3.5", "-o", path("neg.dat")}).code, 0);
        QCOMPARE(floatAtOffset(readAll(path("neg.dat")), 8), -3.5f);

        QCOMPARE(cli({"clear", file, "1"}).code, 0);
        const QByteArray cleared = readAll(file);
        QCOMPARE(floatAtOffset(cleared, 4), 4.0f); // level 2 moved down to 1
        QCOMPARE(quint8(cleared[5060]), quint8(128));

        QCOMPARE(cli({"derive", file}).code, 0);
        QCOMPARE(quint8(readAll(file)[964]), quint8(128)); // low cell 0 from high cell 0

        QCOMPARE(cli({"new", path("new.dat")}).code, 0);
        QCOMPARE(readAll(path("new.dat")).size(), 21444);
        QCOMPARE(cli({"pack", path("new.dat")}).code, 0);
    }

    void failuresExitOneAndWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QStringList{"pack", "MISSING"} << "Cannot open file";
        QTest::newRow("height text") << QStringList{"set-height", "SAMPLE", "1", "5 units"}
                                     << "Please enter a floating point value!";
        QTest::newRow("unwritable output")
            << QStringList{"pack", "SAMPLE", "-o", "NOFOLDER"} << "Cannot create file";
    }
    void failuresExitOneAndWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString file = sample();
        const QByteArray before = readAll(file);
        args.replaceInStrings("SAMPLE", file);
        args.replaceInStrings("MISSING", path("missing.dat"));
        args.replaceInStrings("NOFOLDER", path("no/folder/x.dat"));
        const CliRun r = cli(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(readAll(file), before);
        QVERIFY(!QFile::exists(path("missing.dat")));
    }

    void wrongArgumentsExitTwo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate", "x"};
        QTest::newRow("missing argument") << QStringList{"set-height", "SAMPLE", "1"};
        QTest::newRow("level 0") << QStringList{"clear", "SAMPLE", "0"};
        QTest::newRow("level 16") << QStringList{"clear", "SAMPLE", "16"};
        QTest::newRow("json on pack") << QStringList{"pack", "SAMPLE", "--json"};
        QTest::newRow("unknown option") << QStringList{"info", "SAMPLE", "--frob"};
        QTest::newRow("bad grid") << QStringList{"export", "SAMPLE", "mid", "x.bmp"};
    }
    void wrongArgumentsExitTwo() {
        QFETCH(QStringList, args);
        const QString file = sample();
        const QByteArray before = readAll(file);
        args.replaceInStrings("SAMPLE", file);
        const CliRun r = cli(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("Usage: kelvarin-cli"));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(readAll(file), before);
    }

    void binaryHelpAndStreams() {
        QProcess p;
        p.start(KELVARIN_CLI_PATH, {"--help"});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        const QString help = p.readAllStandardOutput();
        for (const char* command :
             {"new", "info", "pack", "set-height", "clear", "derive", "export", "import"}) {
            QVERIFY2(help.contains(QString("  ") + command + " "), command);
        }
        p.start(KELVARIN_CLI_PATH, {"pack", path("missing.dat")});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().startsWith("Cannot open file"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
