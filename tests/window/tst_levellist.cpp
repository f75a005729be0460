// The level list and the height field: selection, Apply by button and Enter, refused texts,
// the X and derive buttons, and the painted rows.
#include "WindowFixture.h"
#include "window/LevelList.h"

#include <QAbstractItemView>
#include <QPainter>

using namespace kelvarin;

class TestLevelList : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString sample() {
        const QString path = dir.filePath("waterpro.dat");
        sampleWaterFile().writeTo(path);
        return path;
    }

    // Row `index` painted by the window's handler into a white-on-magenta image.
    static QImage paintedRow(TForm1& f, int index, LevelRowState state = {}) {
        QImage image(113, 16, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        painter.setFont(f.cbx->font());
        f.cbxDrawItem(painter, index, QRect(0, 0, 113, 16), state);
        return image;
    }

private slots:
    void arrowKeysInClosedListShowEachHeight() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        f.cbx->setFocus();
        QTest::keyClick(f.cbx, Qt::Key_Down);
        QCOMPARE(f.cbx->currentIndex(), 1);
        QCOMPARE(f.edt->text(), QString("4.0"));
        QTest::keyClick(f.cbx, Qt::Key_Down);
        QCOMPARE(f.edt->text(), QString("-1.25"));
        QTest::keyClick(f.cbx, Qt::Key_Up);
        QTest::keyClick(f.cbx, Qt::Key_Up);
        QCOMPARE(f.edt->text(), QString("2.5"));
    }

    // Opening another file selects level 1 again: the closed box must show the new file's row.
    void closedBoxRepaintsWhenAnotherFileOpens() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        QTest::qWait(50);
        WaterFileBuilder other = sampleWaterFile();
        other.heights[0] = 7.0f;
        const QString second = dir.filePath("second.dat");
        other.writeTo(second);

        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        } counter;
        f.cbx->installEventFilter(&counter);
        w.openFile(second);
        QTRY_VERIFY(counter.paints > 0);
        f.cbx->removeEventFilter(&counter);
        QCOMPARE(f.edt->text(), QString("7.0"));
    }

    void applyByButtonAndByEnter_data() {
        QTest::addColumn<int>("how"); // 0 button, 1 Enter, 2 Ctrl+Enter, 3 keypad Enter
        QTest::newRow("button") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Ctrl+Enter") << 2;
        QTest::newRow("keypad Enter") << 3;
    }
    void applyByButtonAndByEnter() {
        QFETCH(int, how);
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        w.prompts.dialogsRun.clear();
        f.edt->setFocus();
        f.edt->setText("  12.75 ");
        switch (how) {
        case 0:
            QTest::mouseClick(f.Button1, Qt::LeftButton);
            break;
        case 1:
            QTest::keyClick(f.edt, Qt::Key_Return);
            break;
        case 2:
            QTest::keyClick(f.edt, Qt::Key_Return, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(f.edt, Qt::Key_Enter, Qt::KeypadModifier);
            break;
        }
        QCOMPARE(w.map.Levels[0], 12.75f);
        QCOMPARE(f.edt->text(), QString("  12.75 ")); // kept as typed
        QVERIFY(w.prompts.dialogsRun.isEmpty());      // Enter never reaches the Open button
        QVERIFY(w.prompts.boxes.isEmpty());
        // Heights changed; the pictures show the same codes.
        QCOMPARE(f.Img128->picture().pixelIndex(0, 127), 0);
    }

    void refusedTextShowsMessageAndChangesNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces") << "   ";
        QTest::newRow("unit") << "5 units";
        QTest::newRow("grouping") << "1,000.5";
        QTest::newRow("comma") << "2,5";
        QTest::newRow("too large") << "1e39";
    }
    void refusedTextShowsMessageAndChangesNothing() {
        QFETCH(QString, text);
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        f.edt->setText(text);
        QTest::keyClick(f.edt, Qt::Key_Return);
        QCOMPARE(w.map.Levels[0], 2.5f);
        QCOMPARE(w.prompts.boxes.size(), 1);
        const ShownBox box = w.prompts.boxes.first();
        QCOMPARE(box.text, QString("Please enter a floating point value!"));
        QCOMPARE(box.title, ApplicationTitle);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(f.edt->text(), text);
    }

    void commaSeparatorFromLocale() {
        WindowFixture w;
        TForm1& f = *w.form;
        f.setDecimalSeparator(QLatin1Char(','));
        w.openFile(sample());
        QCOMPARE(f.edt->text(), QString("2,5"));
        f.edt->setText("3,25");
        QTest::keyClick(f.edt, Qt::Key_Return);
        QCOMPARE(w.map.Levels[0], 3.25f);
        f.edt->setText("3.5");
        QTest::keyClick(f.edt, Qt::Key_Return);
        QCOMPARE(w.map.Levels[0], 3.25f);
        QCOMPARE(w.prompts.boxes.size(), 1);
    }

    void equalHeightsStaySeparateUntilSave() {
        const QString path = sample();
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(path);
        f.cbx->setFocus();
        QTest::keyClick(f.cbx, Qt::Key_Down); // level 2
        f.edt->setText("2.5");
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        QCOMPARE(w.map.HighRes[16383], std::uint8_t(1)); // still its own level
        QCOMPARE(w.map.Levels[1], 2.5f);
        w.prompts.answers.enqueue(QMessageBox::Yes);
        QTest::mouseClick(f.Button3, Qt::LeftButton);
        QCOMPARE(w.map.HighRes[16383], std::uint8_t(0)); // merged
        QCOMPARE(w.map.LowRes[4095], std::uint8_t(1));   // level 3 moved down
        QCOMPARE(f.cbx->currentIndex(), 0);
    }

    void xButtonAndDeriveButton() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        f.cbx->setFocus();
        QTest::keyClick(f.cbx, Qt::Key_Down);
        QTest::mouseClick(f.Button5, Qt::LeftButton); // level 2 becomes dry
        QCOMPARE(w.map.HighRes[16383], NoWater);
        QCOMPARE(w.map.LowRes[4095], std::uint8_t(1)); // level 3 moved down
        QCOMPARE(f.cbx->currentIndex(), 0);
        QCOMPARE(f.Img128->picture().pixelIndex(127, 0), 15);

        QTest::mouseClick(f.Button4, Qt::LeftButton); // derive
        QCOMPARE(w.map.LowRes[0], std::uint8_t(0));   // from high cell 0
        QCOMPARE(w.map.LowRes[4095], NoWater);
        QVERIFY(!w.map.IsLevelUsed(1));
        QCOMPARE(f.Img64->picture().pixelIndex(0, 63), 0);
    }

    void rowPaintingInPixels() {
        WindowFixture w;
        TForm1& f = *w.form;
        // No map: a plain white row.
        const QImage blank = paintedRow(f, 3);
        for (int x = 0; x < 113; ++x) {
            QCOMPARE(blank.pixelColor(x, 8), QColor(Qt::white));
        }
        w.openFile(sample());
        for (int level : {0, 7, 8, 14}) {
            const QImage row = paintedRow(f, level);
            const QColor colour = LevelColors(level);
            QCOMPARE(row.pixelColor(0, 0), QColor(Qt::white)); // whole row white first
            QCOMPARE(row.pixelColor(112, 15), QColor(Qt::white));
            // The swatch spans x 17..31 and y 1..14 with a black outline.
            QCOMPARE(row.pixelColor(17, 8), QColor(Qt::black));
            QCOMPARE(row.pixelColor(31, 8), QColor(Qt::black));
            QCOMPARE(row.pixelColor(24, 1), QColor(Qt::black));
            QCOMPARE(row.pixelColor(24, 14), QColor(Qt::black));
            QCOMPARE(row.pixelColor(24, 8), colour);
            QCOMPARE(row.pixelColor(18, 2), colour);
            QCOMPARE(row.pixelColor(32, 8), QColor(Qt::white));
            QCOMPARE(row.pixelColor(24, 15), QColor(Qt::white));
            QCOMPARE(row.pixelColor(17, 1), QColor(Qt::white)); // rounded corner
        }
        // Text right-aligned 3 pixels from the right edge: the last 3 columns stay white,
        // and something dark is drawn just left of them.
        const QImage row = paintedRow(f, 0);
        bool dark = false;
        for (int y = 0; y < 16; ++y) {
            for (int x = 110; x < 113; ++x) {
                QCOMPARE(row.pixelColor(x, y), QColor(Qt::white));
            }
            for (int x = 100; x < 110; ++x) {
                dark = dark || row.pixelColor(x, y).lightness() < 128;
            }
        }
        QVERIFY(dark);
    }

    void rowTextFollowsUsedHeightsOnly() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        // A used level's row shows its height: a new height paints another row.
        const QImage used = paintedRow(f, 0);
        f.edt->setText("99");
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        QVERIFY(paintedRow(f, 0) != used);
        // Level 4 is not used: a height applied to it leaves the row at "(not used)".
        const QImage unused = paintedRow(f, 3);
        f.cbx->setCurrentIndex(3);
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        QCOMPARE(w.map.Levels[3], 99.0f);
        QCOMPARE(paintedRow(f, 3), unused);
    }

    void highlightedRowKeepsWhiteAndReadableText() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        const QImage row = paintedRow(f, 0, LevelRowState{true, true});
        QCOMPARE(row.pixelColor(50, 8), QColor(Qt::white));
        const QColor text = levelRowTextColor(f.cbx->palette(), true);
        QVERIFY(text.lightness() <= 160);
    }

    void openListShowsEightRowsOf16() {
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(sample());
        QCOMPARE(f.cbx->maxVisibleItems(), 8);
        f.cbx->showPopup();
        QAbstractItemView* view = f.cbx->view();
        QCOMPARE(view->visualRect(f.cbx->model()->index(1, 0)).height(), 16);
        f.cbx->hidePopup();
    }
};

QTEST_MAIN(TestLevelList)
#include "tst_levellist.moc"
