#pragma once

#include "document/WaterMap.h"
#include "window/LevelList.h"
#include "window/MapView.h"
#include "window/Prompts.h"

#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <functional>
#include <memory>

namespace kelvarin {
/// The application title: the caption of simple messages and of the error display.
inline const QString ApplicationTitle = QStringLiteral("GTA3 & VC Kelvarin");
} // namespace kelvarin

/// The editor's one window: two map pictures, the level list with the height field, the
/// buttons, menus and dialogs. It is a thin layer over the water map: its handlers call the
/// map's operations, and it answers their window operations (selection, height field, pictures,
/// dialogs). Dialogs and message boxes run through a Prompts object that tests can replace.
class TForm1 : public QMainWindow, private kelvarin::WindowOps {
    Q_OBJECT

public:
    explicit TForm1(kelvarin::WaterMap& map = kelvarin::WaterMap::instance(),
                    std::unique_ptr<Prompts> prompts = std::make_unique<Prompts>(),
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, by their names.
    QFrame* Panel1;
    MapView* Img128;
    QFrame* Panel2;
    MapView* Img64;
    QLabel* Label3;
    QLabel* lblPos;
    QLabel* Label5;
    QLabel* lblLevel;
    QFrame* Bevel3;
    QLabel* Label1;
    LevelList* cbx;
    QLabel* Label2;
    QLineEdit* edt;
    QPushButton* Button1;
    QPushButton* Button5;
    QFrame* Bevel1;
    QLabel* Label4;
    QPushButton* Button6;
    QPushButton* Button4;
    QFrame* Bevel2;
    QPushButton* Button2;
    QPushButton* Button3;

    QMenu* Datei1;
    QAction* New1;
    QAction* ffnen1;
    QAction* Save1;
    QAction* N1;
    QAction* Beenden1;
    QMenu* Help1;
    QAction* About1;

    QMenu* PopupMenu1;
    QAction* ImportLowResMap1;
    QAction* ExportHiResMAp1;
    QAction* N2;
    QAction* ImportLowResMap2;
    QAction* ExportLowResMap1;

    QFileDialog* open;
    QFileDialog* openPic;
    QFileDialog* savePic;

    /// The area that stands for the client area of 250 x 198 pixels inside a 2-pixel border.
    QWidget* clientArea() const { return client_; }
    /// The decimal separator heights are written and read with (the user's locale's).
    QChar decimalSeparator() const { return separator_; }
    void setDecimalSeparator(QChar separator);
    /// The text the About message shows.
    static QString aboutText();
    /// The error display's text for an error message: a full stop is added when the last
    /// character sorts after ".".
    static QString errorDisplayText(const QString& message);

    // Event handlers.
    void ffnen1Click();
    void FormCreate();
    void About1Click();
    void cbxDrawItem(QPainter& painter, int index, const QRect& rect, LevelRowState state);
    void cbxChange();
    void Button1Click();
    bool edtKeyDown(QKeyEvent* event);
    void Button3Click();
    void Button4Click();
    void Img128MouseMove(int x, int y);
    void Img64MouseMove(int x, int y);
    void Save1Click();
    void Button2Click();
    void Img128MouseUp(int x, int y);
    void Img64MouseUp(int x, int y);
    void Button5Click();
    void Button6Click();
    void ExportHiResMAp1Click();
    void ExportLowResMap1Click();
    void ImportLowResMap2Click();
    void ImportLowResMap1Click();
    void New1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Window operations the map's operations call.
    void selectLevel(int k) override;
    void showHeight(int k) override;
    void repaintLevelList() override;
    void redrawMaps() override;
    QImage heldPicture(bool highRes) const override;
    void SetEditing(bool value) override;
    std::optional<QString> runOpenDialog() override;
    std::optional<QString> runOpenPicDialog() override;
    std::optional<QString> runSavePicDialog() override;
    void setPictureDialogsFolder(const QString& folder) override;
    void setSavePicFileName(const QString& name) override;
    bool confirmSave(const QString& question) override;
    void showMessage(const QString& text) override;

    void OpenWaterFile();
    void SaveWaterFile();
    void DrawMaps();

    void buildComponents();
    void buildMenus();
    void buildDialogs();
    /// Runs a handler's work; an error ends it and is shown in the error display.
    void guarded(const std::function<void()>& work);
    void showError(const QString& message);
    /// The code of the cell under picture position (x, y), or nothing when no map is loaded or
    /// the position lies off the grid.
    std::optional<std::uint8_t> codeUnder(const MapView* view, int x, int y) const;
    void readOut(const MapView* view, int x, int y);
    void selectByClick(const MapView* view, int x, int y);

    kelvarin::WaterMap& map_;
    std::unique_ptr<Prompts> prompts_;
    QWidget* client_ = nullptr;
    QChar separator_;
    QRandomGenerator random_;
    bool centred_ = false;
};
