// Pointing at the pictures: the position and depth read-out, selection by click, and the
// image button's pop-up menu.
#include "WindowFixture.h"

using namespace kelvarin;

class TestInspection : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // Distinct heights at the corner cells so the read-out shows which cell it took.
    QString cornersFile() {
        WaterFileBuilder f;
        const float heights[] = {1.5f, 2.5f, 3.5f, 4.5f, 5.25f, 6.125f};
        for (int i = 0; i < 6; ++i) {
            f.heights[i] = heights[i];
        }
        f.high[127] = 0;   // pixel (0, 0)
        f.high[0] = 1;     // pixel (0, 127)
        f.high[16383] = 2; // pixel (127, 0)
        f.low[4032] = 3;   // pixel (63, 63)
        f.low[63] = 4;     // pixel (0, 0)
        f.high[200] = 5;
        const QString path = dir.filePath("corners.dat");
        f.writeTo(path);
        return path;
    }

private slots:
    void readOutAtCorners_data() {
        QTest::addColumn<bool>("high");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("depth");
        QTest::newRow("128 top-left") << true << QPoint(0, 0) << "0; 0"
                                      << "1.5";
        QTest::newRow("128 bottom-left") << true << QPoint(0, 127) << "0; 127"
                                         << "2.5";
        QTest::newRow("128 top-right") << true << QPoint(127, 0) << "127; 0"
                                       << "3.5";
        QTest::newRow("128 dry") << true << QPoint(5, 5) << "5; 5"
                                 << "(none)";
        QTest::newRow("64 bottom-right") << false << QPoint(63, 63) << "63; 63"
                                         << "4.5";
        QTest::newRow("64 top-left") << false << QPoint(0, 0) << "0; 0"
                                     << "5.25";
        QTest::newRow("64 dry") << false << QPoint(12, 40) << "12; 40"
                                << "(none)";
    }
    void readOutAtCorners() {
        QFETCH(bool, high);
        QFETCH(QPoint, pixel);
        QFETCH(QString, position);
        QFETCH(QString, depth);
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        pointerTo(high ? f.Img128 : f.Img64, pixel);
        QCOMPARE(f.lblPos->text(), position);
        QCOMPARE(f.lblLevel->text(), depth);
    }

    void nothingBeforeAMapIsLoaded() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::mouseMove(f.Img128, QPoint(10, 20));
        QTest::mouseClick(f.Img128, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(f.lblPos->text(), QString("0; 0"));
        QCOMPARE(f.lblLevel->text(), QString("0.0"));
        QCOMPARE(f.cbx->currentIndex(), -1);
        QVERIFY(f.edt->text().isEmpty());
    }

    void clickSelectsWithAnyButton_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void clickSelectsWithAnyButton() {
        QFETCH(Qt::MouseButton, button);
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        QTest::mouseClick(f.Img128, button, {}, QPoint(127, 0));
        QCOMPARE(f.cbx->currentIndex(), 2);
        QCOMPARE(f.edt->text(), QString("3.5"));
        QTest::mouseClick(f.Img64, button, {}, QPoint(63, 63));
        QCOMPARE(f.cbx->currentIndex(), 3);
        QCOMPARE(f.edt->text(), QString("4.5"));
    }

    void clickOnDryCellResetsField() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        QTest::mouseClick(f.Img128, Qt::LeftButton, {}, QPoint(0, 127));
        f.edt->setText("not applied");
        QTest::mouseClick(f.Img128, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(f.cbx->currentIndex(), 1);
        QCOMPARE(f.edt->text(), QString("2.5"));
    }

    void readOutKeepsOldHeightUntilPointerMoves() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        pointerTo(f.Img128, QPoint(0, 0));
        QCOMPARE(f.lblLevel->text(), QString("1.5"));
        f.edt->setText("9.75");
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        QCOMPARE(f.lblLevel->text(), QString("1.5"));
        pointerTo(f.Img128, QPoint(0, 1));
        pointerTo(f.Img128, QPoint(0, 0));
        QCOMPARE(f.lblLevel->text(), QString("9.75"));
    }

    void dragReleasedOffThePictureIsIgnored() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        QTest::mouseMove(f.Img64, QPoint(63, 63));
        f.edt->setText("typed");
        QTest::mousePress(f.Img64, Qt::LeftButton, {}, QPoint(63, 63));
        QTest::mouseMove(f.Img64, QPoint(90, 70)); // beyond the 64 by 64 grid
        QTest::mouseRelease(f.Img64, Qt::LeftButton, {}, QPoint(90, 70));
        QCOMPARE(f.lblPos->text(), QString("63; 63"));
        QCOMPARE(f.lblLevel->text(), QString("4.5"));
        QCOMPARE(f.cbx->currentIndex(), 0);
        QCOMPARE(f.edt->text(), QString("typed"));
        QTest::mousePress(f.Img128, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseRelease(f.Img128, Qt::LeftButton, {}, QPoint(-4, 3));
        QCOMPARE(f.edt->text(), QString("typed"));
    }

    void popupMenuBelowTheButton() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        QTest::mouseClick(f.Button6, Qt::LeftButton);
        QCOMPARE(w.prompts.popups, 1);
        QCOMPARE(w.prompts.popupPos,
                 f.Button6->mapToGlobal(QPoint(0, 0)) + QPoint(0, f.Button6->height() + 2));
        QCOMPARE(w.prompts.popupItems, (QStringList{"Import HighRes Map", "Export HighRes Map", "-",
                                                    "Import LowRes Map", "Export LowRes Map"}));
    }

    void popupItemsStartTheirOperations() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(cornersFile());
        w.prompts.dialogsRun.clear();
        for (const char* item : {"Import HighRes Map", "Import LowRes Map"}) {
            w.prompts.popupChoice = item;
            QTest::mouseClick(f.Button6, Qt::LeftButton); // dialog cancelled: nothing changes
        }
        QCOMPARE(w.prompts.dialogsRun, (QStringList{"openPic", "openPic"}));
        QCOMPARE(w.map.HighRes[127], std::uint8_t(0));

        w.prompts.popupChoice = "Export HighRes Map";
        QTest::mouseClick(f.Button6, Qt::LeftButton);
        QCOMPARE(w.prompts.dialogsRun.last(), QString("savePic"));
        QCOMPARE(w.prompts.lastDialogFile, QString("Water128.bmp"));
        w.prompts.popupChoice = "Export LowRes Map";
        QTest::mouseClick(f.Button6, Qt::LeftButton);
        QCOMPARE(w.prompts.lastDialogFile, QString("Water64.bmp"));
    }
};

QTEST_MAIN(TestInspection)
#include "tst_inspection.moc"
