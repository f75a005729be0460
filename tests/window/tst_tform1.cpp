// The main window: start state, layout, menus and shortcuts, New, Open and Save through the
// window, the error display, About and Exit.
#include "WindowFixture.h"
#include "images/BmpWriter.h"
#include "images/MapPicture.h"

#include <QMenuBar>
#include <QSignalSpy>

using namespace kelvarin;

class TestTForm1 : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QList<QWidget*> editingWidgets(TForm1& f) {
        return {f.cbx, f.edt, f.Button1, f.Button3, f.Button4, f.Button5, f.Button6};
    }

private slots:
    void startState() {
        WindowFixture w;
        TForm1& f = *w.form;
        QCOMPARE(f.windowTitle(), QString("Kelvarin 1.0"));
        for (QWidget* widget : editingWidgets(f)) {
            QVERIFY2(!widget->isEnabled(), qPrintable(widget->objectName()));
        }
        QVERIFY(!f.Save1->isEnabled());
        QVERIFY(f.Button2->isEnabled() && f.New1->isEnabled() && f.ffnen1->isEnabled());
        QVERIFY(f.Img128->picture().isNull() && f.Img64->picture().isNull());
        QCOMPARE(f.cbx->count(), 15);
        QCOMPARE(f.cbx->currentIndex(), -1);
        QCOMPARE(f.lblPos->text(), QString("0; 0"));
        QCOMPARE(f.lblLevel->text(), QString("0.0"));
        QVERIFY(f.edt->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), f.Button2);

        // Enter on the focused Open button runs the open dialog; cancelling it changes nothing.
        QTest::keyClick(f.Button2, Qt::Key_Return);
        QCOMPARE(w.prompts.dialogsRun, QStringList{"open"});
        QVERIFY(!w.map.MapLoaded);
        QVERIFY(!f.cbx->isEnabled());
    }

    void layoutMatchesTheTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 130, 130);
        QTest::newRow("Img128") << "Img128" << QRect(1, 1, 128, 128);
        QTest::newRow("Panel2") << "Panel2" << QRect(0, 132, 66, 66);
        QTest::newRow("Img64") << "Img64" << QRect(1, 1, 64, 64);
        QTest::newRow("lblPos") << "lblPos" << QRect(72, 149, 49, 13);
        QTest::newRow("lblLevel") << "lblLevel" << QRect(72, 179, 49, 13);
        QTest::newRow("Bevel3") << "Bevel3" << QRect(128, 133, 2, 64);
        QTest::newRow("cbx") << "cbx" << QRect(136, 16, 113, 22);
        QTest::newRow("edt") << "edt" << QRect(136, 56, 53, 21);
        QTest::newRow("Button1") << "Button1" << QRect(192, 56, 37, 21);
        QTest::newRow("Button5") << "Button5" << QRect(232, 56, 17, 21);
        QTest::newRow("Bevel1") << "Bevel1" << QRect(136, 82, 113, 2);
        QTest::newRow("Label4") << "Label4" << QRect(136, 88, 113, 13);
        QTest::newRow("Button6") << "Button6" << QRect(136, 104, 113, 25);
        QTest::newRow("Button4") << "Button4" << QRect(136, 136, 113, 25);
        QTest::newRow("Bevel2") << "Bevel2" << QRect(136, 166, 113, 2);
        QTest::newRow("Button2") << "Button2" << QRect(136, 172, 53, 25);
        QTest::newRow("Button3") << "Button3" << QRect(196, 172, 53, 25);
    }
    void layoutMatchesTheTable() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        WindowFixture w;
        TForm1& f = *w.form;
        const QHash<QString, QWidget*> widgets = {
            {"Panel1", f.Panel1},   {"Img128", f.Img128},   {"Panel2", f.Panel2},
            {"Img64", f.Img64},     {"lblPos", f.lblPos},   {"lblLevel", f.lblLevel},
            {"Bevel3", f.Bevel3},   {"cbx", f.cbx},         {"edt", f.edt},
            {"Button1", f.Button1}, {"Button5", f.Button5}, {"Bevel1", f.Bevel1},
            {"Label4", f.Label4},   {"Button6", f.Button6}, {"Button4", f.Button4},
            {"Bevel2", f.Bevel2},   {"Button2", f.Button2}, {"Button3", f.Button3}};
        QWidget* widget = widgets.value(name);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(f.clientArea()->size(), QSize(250, 198));
        QCOMPARE(f.clientArea()->pos(), QPoint(2, 2));
    }

    void windowIsFixedWithoutMaximise() {
        WindowFixture w;
        TForm1& f = *w.form;
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(f.Button3->font().bold());
        QCOMPARE(f.Button5->toolTip(), QString("Set the current level to non-water"));
        QCOMPARE(f.Img128->toolTip(), QString("HighRes Map (128x128)"));
        QCOMPARE(f.Img64->toolTip(), QString("LowRes Map (64x64)"));
    }

    void menusAndDialogs() {
        WindowFixture w;
        TForm1& f = *w.form;
        QCOMPARE(f.Datei1->title(), QString("&文件"));
        QStringList items;
        for (QAction* a : f.Datei1->actions()) {
            items << (a->isSeparator() ? "-" : a->text() + " " + a->shortcut().toString());
        }
        QCOMPARE(items,
                 (QStringList{"&创建 Ctrl+N", "&打开 Ctrl+O", "&保存 Ctrl+S", "-", "&退出 "}));
        QCOMPARE(f.Help1->actions().first()->text(), QString("&关于"));

        QCOMPARE(f.open->nameFilters(),
                 (QStringList{"Waterpro.dat (waterpro.dat)", "All Files (*)"}));
        // Only the descriptions show; the first entry is selected.
        QVERIFY(f.open->testOption(QFileDialog::HideNameFilterDetails));
        QVERIFY(f.open->selectedNameFilter().startsWith("Waterpro.dat"));
        QCOMPARE(f.open->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(f.open->defaultSuffix(), QString());
        QCOMPARE(f.openPic->nameFilters(), QStringList{"4字节 点阵图 (*.bmp)"});
        QCOMPARE(f.openPic->defaultSuffix(), QString("bmp"));
        QCOMPARE(f.openPic->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(f.savePic->nameFilters(), QStringList{"4bit Bitmaps (*.bmp)"});
        QCOMPARE(f.savePic->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(f.savePic->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(f.openPic->findChild<QLabel*>("preview"));
        QVERIFY(f.savePic->findChild<QLabel*>("preview"));

        // The open dialog offers "waterpro.dat" when it runs.
        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.prompts.lastDialogFile, QString("waterpro.dat"));
    }

    void pictureDialogsPreviewTheSelectedBmp() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
        const QString bmp = dir.filePath("preview.bmp");
        WaterFileBuilder::writeBytes(bmp, encodeBmp4(renderHighRes(w.map)));
        const QString notBmp = dir.filePath("preview.bmp.txt");
        WaterFileBuilder::writeBytes(notBmp, "text");
        for (QFileDialog* dialog : {f.openPic, f.savePic}) {
            auto* preview = dialog->findChild<QLabel*>("preview");
            QVERIFY(preview);
            emit dialog->currentChanged(bmp);
            QCOMPARE(preview->pixmap().size(), QSize(128, 128));
            QCOMPARE(preview->pixmap().toImage().pixelColor(5, 5), QColor(Qt::white));
            emit dialog->currentChanged(notBmp);
            QVERIFY(preview->pixmap().isNull());
        }
        // A file named .bmp that isn't one shows no picture, and no error.
        const QString fake = dir.filePath("fake.bmp");
        WaterFileBuilder::writeBytes(fake, "not a picture");
        emit f.openPic->currentChanged(fake);
        QCOMPARE(f.openPic->findChild<QLabel*>("preview")->text(), QString("(no preview)"));
        QVERIFY(w.prompts.boxes.isEmpty());
    }

    void newMapShowsWhitePicturesAndEnablesEditing() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(w.map.MapLoaded);
        for (QWidget* widget : editingWidgets(f)) {
            QVERIFY(widget->isEnabled());
        }
        QVERIFY(f.Save1->isEnabled());
        QCOMPARE(f.cbx->currentIndex(), 0);
        QCOMPARE(f.edt->text(), QString("0.0"));
        for (const QImage& picture : {f.Img128->picture(), f.Img64->picture()}) {
            QVERIFY(!picture.isNull());
            QCOMPARE(picture.colorTable(), MapPalette());
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    QCOMPARE(picture.pixelIndex(x, y), 15);
                }
            }
        }
        QCOMPARE(f.Img128->picture().size(), QSize(128, 128));
        QCOMPARE(f.Img64->picture().size(), QSize(64, 64));
    }

    void openShowsTheMapAndSetsPictureFolders() {
        const QString path = dir.filePath("waterpro.dat");
        sampleWaterFile().writeTo(path);
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(path);
        QVERIFY(w.map.MapLoaded);
        QCOMPARE(w.map.FileName, path);
        QCOMPARE(f.cbx->currentIndex(), 0);
        QCOMPARE(f.edt->text(), QString("2.5"));
        QCOMPARE(f.Img128->picture().pixelIndex(0, 127), 0); // cell 0, level 1
        QCOMPARE(f.Img128->picture().pixelIndex(127, 0), 1); // cell 16383, level 2
        QCOMPARE(f.Img64->picture().pixelIndex(63, 0), 2);   // cell 4095, level 3
        QCOMPARE(f.Img64->picture().pixelIndex(1, 63), 15);  // cell 64, dry
        QCOMPARE(f.openPic->directory().absolutePath(), dir.path());
        QCOMPARE(f.savePic->directory().absolutePath(), dir.path());
        QVERIFY(f.Button6->isEnabled());
    }

    void saveQuestionYesAndNo() {
        const QString path = dir.filePath("save.dat");
        WaterFileBuilder file = sampleWaterFile();
        file.heights[3] = 2.5f; // same height as code 0: merged when the save packs
        file.high[500] = 3;
        file.writeTo(path);
        const QByteArray before = file.bytes();
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(path);

        w.prompts.answers.enqueue(QMessageBox::No);
        QTest::mouseClick(f.Button3, Qt::LeftButton);
        QCOMPARE(w.prompts.boxes.size(), 1);
        const ShownBox box = w.prompts.boxes.first();
        QCOMPARE(box.title, QString("Save Water Map"));
        QCOMPARE(box.text, "Would you like to save all changes\r\nmade to " + path + "?");
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.defaultButton, QMessageBox::Yes);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), before);
        saved.close();

        w.prompts.answers.enqueue(QMessageBox::Yes);
        QTest::keyClick(f.edt, Qt::Key_S, Qt::ControlModifier); // from the height field
        QCOMPARE(w.prompts.boxes.size(), 2);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray after = saved.readAll();
        QCOMPARE(after.size(), 21444);
        QCOMPARE(quint8(after[5060 + 500]), quint8(0)); // merged into level 1
    }

    void shortcutsActFromTheHeightField() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
        f.edt->setFocus();
        f.edt->setText("12.5");
        QTest::keyClick(f.edt, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.prompts.dialogsRun, QStringList{"open"});
        QTest::keyClick(f.edt, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.edt->text(), QString("0.0")); // New packed and reset the field
        // Ctrl+X is no shortcut of the window: in the field it cuts as usual.
        f.edt->setText("7.5");
        f.edt->selectAll();
        QTest::keyClick(f.edt, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(f.isVisible());
        QVERIFY(f.edt->text().isEmpty());
    }

    void errorDisplayAddsFullStop_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Stream read error"
                                << "Stream read error.";
        QTest::newRow("quote sorts before") << "x \"a\""
                                            << "x \"a\"";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("exclamation sorts before") << "Oops!"
                                                  << "Oops!";
        QTest::newRow("digit sorts after") << "error 5"
                                           << "error 5.";
        QTest::newRow("hyphen sorts before") << "a-"
                                             << "a-";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorDisplayAddsFullStop() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(TForm1::errorDisplayText(message), shown);
    }

    void failedOpenShowsErrorAndLeavesWindow() {
        const QString good = dir.filePath("good.dat");
        sampleWaterFile().writeTo(good);
        const QString bad = dir.filePath("bad.dat");
        WaterFileBuilder::writeBytes(bad, QByteArray(100, '\0'));
        WindowFixture w;
        TForm1& f = *w.form;
        w.openFile(good);
        f.edt->setText("typed");
        const QImage high = f.Img128->picture();

        w.openFile(bad);
        QCOMPARE(w.prompts.boxes.size(), 1);
        const ShownBox box = w.prompts.boxes.first();
        QCOMPARE(box.title, ApplicationTitle);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.text,
                 "\"" + bad + "\" is not a water file: it holds 100 bytes, 21444 expected.");
        QCOMPARE(w.map.FileName, good);
        QCOMPARE(f.edt->text(), QString("typed"));
        QCOMPARE(f.Img128->picture(), high);
        QCOMPARE(f.openPic->directory().absolutePath(), dir.path());

        // A missing file: the system's reason after the path.
        w.openFile(dir.filePath("gone.dat"));
        QVERIFY(w.prompts.boxes.last().text.startsWith("Cannot open file \"" +
                                                       dir.filePath("gone.dat") + "\". "));
        QVERIFY(f.isVisible() && f.cbx->isEnabled());
    }

    void aboutHasSevenLines() {
        WindowFixture w;
        w.form->About1->trigger();
        QCOMPARE(w.prompts.boxes.size(), 1);
        const ShownBox box = w.prompts.boxes.first();
        QCOMPARE(box.title, ApplicationTitle);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        const QStringList lines = box.text.split("\r\n");
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.mid(0, 4), (QStringList{"Kelvarin", "Version 1.0", "25. 07. 2003", ""}));
        QVERIFY(!box.text.endsWith("\n"));
    }

    void exitClosesWithoutQuestion() {
        WindowFixture w;
        QTest::keyClick(w.form.get(), Qt::Key_N, Qt::ControlModifier);
        w.form->Beenden1->trigger();
        QVERIFY(!w.form->isVisible());
        QVERIFY(w.prompts.boxes.isEmpty());
    }

    void enterOnClosedListPressesOpen() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
        f.cbx->setFocus();
        QTest::keyClick(f.cbx, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(w.prompts.dialogsRun.isEmpty());
        QTest::keyClick(f.cbx, Qt::Key_Return);
        QCOMPARE(w.prompts.dialogsRun, QStringList{"open"});
        QTest::keyClick(f.cbx, Qt::Key_Escape);
        QCOMPARE(w.prompts.dialogsRun.size(), 1);
    }

    void tabOrder() {
        WindowFixture w;
        TForm1& f = *w.form;
        QTest::keyClick(&f, Qt::Key_N, Qt::ControlModifier);
        f.cbx->setFocus();
        QList<QWidget*> seen;
        for (int i = 0; i < 8; ++i) {
            seen << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(seen, (QList<QWidget*>{f.cbx, f.edt, f.Button1, f.Button2, f.Button3, f.Button4,
                                        f.Button5, f.Button6}));
    }
};

QTEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
