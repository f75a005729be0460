#include "window/TForm1.h"

#include "document/Error.h"
#include "document/HeightText.h"
#include "document/WaterFile.h"
#include "images/BmpReader.h"
#include "images/MapImages.h"
#include "images/MapPicture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <chrono>

using namespace kelvarin;

namespace {

constexpr int ClientWidth = 250;
constexpr int ClientHeight = 198;
constexpr int InnerBorder = 2;

// The window's font: a plain sans-serif of 11 pixels, with a CJK face for the Chinese captions.
QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

template <typename W> W* place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

QFrame* line(QWidget* parent, QFrame::Shape shape, int left, int top, int width, int height) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Sunken);
    return place(frame, left, top, width, height);
}

// A label of fixed size.
QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(alignment);
    return place(l, left, top, width, height);
}

// A label that takes the width of its text, at least the given size, so that a caption in a
// wider font than the layout was made for is not cut off.
QLabel* autoLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    QLabel* l = label(parent, text, left, top, width, height);
    const int textWidth = QFontMetrics(parent->font()).horizontalAdvance(text);
    l->resize(std::max(width, textWidth), height);
    return l;
}

QPushButton* button(QWidget* parent, const QString& caption, int left, int top, int width,
                    int height) {
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(true); // Enter on a focused button presses it
    return place(b, left, top, width, height);
}

// Adds a preview of the selected BMP beside the file list of a (Qt-drawn) file dialog. The
// preview shows the top-left 128 by 128 pixels as an import would read them.
void addPreview(QFileDialog* dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog->layout());
    if (!grid) {
        return;
    }
    auto* preview = new QLabel(dialog);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(140, 140);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        preview->clear();
        if (!path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            return;
        }
        try {
            preview->setPixmap(QPixmap::fromImage(readBmpForImport(path, HighSize)));
        } catch (const Error&) {
            preview->setText(QStringLiteral("(no preview)"));
        }
    });
}

} // namespace

TForm1::TForm1(WaterMap& map, std::unique_ptr<Prompts> prompts, QWidget* parent)
    : QMainWindow(parent), map_(map), prompts_(std::move(prompts)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(windowFont());
    const QString point = QLocale::system().decimalPoint();
    separator_ = point.isEmpty() ? QLatin1Char('.') : point.front();
    buildComponents();
    buildMenus();
    buildDialogs();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildComponents() {
    auto* central = new QWidget(this);
    central->setFixedSize(ClientWidth + 2 * InnerBorder, ClientHeight + 2 * InnerBorder);
    setCentralWidget(central);
    client_ = new QWidget(central);
    client_->setGeometry(InnerBorder, InnerBorder, ClientWidth, ClientHeight);
    QWidget* c = client_;

    Panel1 = place(new QFrame(c), 0, 0, 130, 130);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Img128 = place(new MapView(Panel1), 1, 1, 128, 128);
    Img128->setToolTip(QStringLiteral("HighRes Map (128x128)"));

    Panel2 = place(new QFrame(c), 0, 132, 66, 66);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Img64 = place(new MapView(Panel2), 1, 1, 64, 64);
    Img64->setToolTip(QStringLiteral("LowRes Map (64x64)"));

    Label3 = autoLabel(c, QStringLiteral("位置:"), 72, 134, 40, 13);
    lblPos = label(c, QStringLiteral("0; 0"), 72, 149, 49, 13, Qt::AlignRight | Qt::AlignTop);
    Label5 = autoLabel(c, QStringLiteral("深度:"), 72, 164, 29, 13);
    lblLevel = label(c, QStringLiteral("0.0"), 72, 179, 49, 13, Qt::AlignRight | Qt::AlignTop);
    Bevel3 = line(c, QFrame::VLine, 128, 133, 2, 64);

    Label1 = autoLabel(c, QStringLiteral("水位（好像是颜色）:"), 136, 0, 66, 13);
    cbx = place(new LevelList(c), 136, 16, 113, 22);
    cbx->setDrawItem([this](QPainter& painter, int index, const QRect& rect, LevelRowState state) {
        cbxDrawItem(painter, index, rect, state);
    });
    Label2 = autoLabel(c, QStringLiteral("改变深度:"), 136, 40, 74, 13);
    edt = place(new QLineEdit(c), 136, 56, 53, 21);
    Button1 = button(c, QStringLiteral("&应用"), 192, 56, 37, 21);
    Button5 = button(c, QStringLiteral("&X"), 232, 56, 17, 21);
    Button5->setToolTip(QStringLiteral("Set the current level to non-water"));
    Bevel1 = line(c, QFrame::HLine, 136, 82, 113, 2);
    Label4 = label(c, QStringLiteral("(16色; 白色=没有)"), 136, 88, 113, 13,
                   Qt::AlignHCenter | Qt::AlignTop);
    Button6 = button(c, QStringLiteral("&导入/导出地图"), 136, 104, 113, 25);
    Button4 = button(c, QStringLiteral("&生成小地图"), 136, 136, 113, 25);
    Bevel2 = line(c, QFrame::HLine, 136, 166, 113, 2);
    Button2 = button(c, QStringLiteral("&打开"), 136, 172, 53, 25);
    Button2->setDefault(true);
    Button3 = button(c, QStringLiteral("&保存"), 196, 172, 53, 25);
    QFont bold = Button3->font();
    bold.setBold(true);
    Button3->setFont(bold);

    for (QWidget* w : std::initializer_list<QWidget*>{Panel1, Panel2, Img128, Img64}) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    QWidget::setTabOrder(cbx, edt);
    QWidget::setTabOrder(edt, Button1);
    QWidget::setTabOrder(Button1, Button2);
    QWidget::setTabOrder(Button2, Button3);
    QWidget::setTabOrder(Button3, Button4);
    QWidget::setTabOrder(Button4, Button5);
    QWidget::setTabOrder(Button5, Button6);

    // Only the height field has a context menu (the system's own); elsewhere a right click
    // shows nothing.
    setContextMenuPolicy(Qt::NoContextMenu);

    edt->installEventFilter(this);
    connect(cbx, &QComboBox::activated, this, [this] { cbxChange(); });
    connect(cbx, &LevelList::enterPressed, Button2, &QPushButton::click);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Img128, &MapView::pointerMoved, this, &TForm1::Img128MouseMove);
    connect(Img64, &MapView::pointerMoved, this, &TForm1::Img64MouseMove);
    connect(Img128, &MapView::buttonReleased, this, &TForm1::Img128MouseUp);
    connect(Img64, &MapView::buttonReleased, this, &TForm1::Img64MouseUp);
}

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar(); // MainMenu1
    Datei1 = bar->addMenu(QStringLiteral("&文件"));
    New1 = Datei1->addAction(QStringLiteral("&创建"));
    New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    ffnen1 = Datei1->addAction(QStringLiteral("&打开"));
    ffnen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = Datei1->addAction(QStringLiteral("&保存"));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N1 = Datei1->addSeparator();
    // Exit closes the window like its close button. It has no shortcut: Ctrl+X belongs to
    // cutting text in the height field.
    Beenden1 = Datei1->addAction(QStringLiteral("&退出"));
    Help1 = bar->addMenu(QStringLiteral("&帮助"));
    About1 = Help1->addAction(QStringLiteral("&关于"));
    for (QAction* a : {New1, ffnen1, Save1}) {
        a->setShortcutContext(Qt::WindowShortcut);
    }
    // The shortcuts act from every control: a window-wide action sees the key first.
    addActions({New1, ffnen1, Save1});

    connect(New1, &QAction::triggered, this, [this] { New1Click(); });
    connect(ffnen1, &QAction::triggered, this, [this] { ffnen1Click(); });
    connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(About1, &QAction::triggered, this, [this] { About1Click(); });

    PopupMenu1 = new QMenu(this);
    ImportLowResMap1 = PopupMenu1->addAction(QStringLiteral("Import HighRes Map"));
    ExportHiResMAp1 = PopupMenu1->addAction(QStringLiteral("Export HighRes Map"));
    N2 = PopupMenu1->addSeparator();
    ImportLowResMap2 = PopupMenu1->addAction(QStringLiteral("Import LowRes Map"));
    ExportLowResMap1 = PopupMenu1->addAction(QStringLiteral("Export LowRes Map"));
    connect(ImportLowResMap1, &QAction::triggered, this, [this] { ImportLowResMap1Click(); });
    connect(ExportHiResMAp1, &QAction::triggered, this, [this] { ExportHiResMAp1Click(); });
    connect(ImportLowResMap2, &QAction::triggered, this, [this] { ImportLowResMap2Click(); });
    connect(ExportLowResMap1, &QAction::triggered, this, [this] { ExportLowResMap1Click(); });
}

void TForm1::buildDialogs() {
    open = new QFileDialog(this);
    open->setObjectName(QStringLiteral("open"));
    open->setOption(QFileDialog::DontUseNativeDialog);
    open->setOption(QFileDialog::HideNameFilterDetails);
    open->setFileMode(QFileDialog::ExistingFile);
    open->setAcceptMode(QFileDialog::AcceptOpen);
    open->setNameFilters(
        {QStringLiteral("Waterpro.dat (waterpro.dat)"), QStringLiteral("All Files (*)")});
    open->selectNameFilter(QStringLiteral("Waterpro.dat (waterpro.dat)"));
    open->selectFile(QStringLiteral("waterpro.dat"));

    openPic = new QFileDialog(this);
    openPic->setObjectName(QStringLiteral("openPic"));
    openPic->setOption(QFileDialog::DontUseNativeDialog);
    openPic->setFileMode(QFileDialog::ExistingFile);
    openPic->setAcceptMode(QFileDialog::AcceptOpen);
    openPic->setNameFilter(QStringLiteral("4字节 点阵图 (*.bmp)"));
    openPic->setDefaultSuffix(QStringLiteral("bmp"));
    addPreview(openPic);

    savePic = new QFileDialog(this);
    savePic->setObjectName(QStringLiteral("savePic"));
    savePic->setOption(QFileDialog::DontUseNativeDialog);
    savePic->setOption(QFileDialog::DontConfirmOverwrite);
    savePic->setFileMode(QFileDialog::AnyFile);
    savePic->setAcceptMode(QFileDialog::AcceptSave);
    savePic->setNameFilter(QStringLiteral("4bit Bitmaps (*.bmp)"));
    savePic->setDefaultSuffix(QStringLiteral("bmp"));
    addPreview(savePic);
}

void TForm1::setDecimalSeparator(QChar separator) {
    separator_ = separator;
    cbx->repaintRows();
}

// ---- start-up -------------------------------------------------------------------------------

void TForm1::FormCreate() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    random_.seed(static_cast<quint32>(ticks));
    setWindowTitle(QStringLiteral("Kelvarin 1.0"));
    for (int i = 0; i < LevelCount; ++i) {
        cbx->addItem(QString());
    }
    cbx->setCurrentIndex(-1);
    SetEditing(false);
    Button2->setFocus();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        setFixedSize(size());
        if (const QScreen* s = screen()) {
            move(s->availableGeometry().center() - frameGeometry().center() + pos());
        }
    }
}

QString TForm1::aboutText() {
    return QStringList{QStringLiteral("Kelvarin"),
                       QStringLiteral("Version 1.0"),
                       QStringLiteral("25. 07. 2003"),
                       QString(),
                       QStringLiteral("An editor for the water map file waterpro.dat."),
                       QStringLiteral("Made by the Kelvarin developers."),
                       QStringLiteral("Source code and issues: the Kelvarin project repository.")}
        .join(QStringLiteral("\r\n"));
}

QString TForm1::errorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

// ---- error display and messages -------------------------------------------------------------

void TForm1::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const Error& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
}

void TForm1::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, errorDisplayText(message),
                    QMessageBox::Ok, this);
    prompts_->runMessageBox(box);
}

void TForm1::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, this);
    prompts_->runMessageBox(box);
}

bool TForm1::confirmSave(const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Save Water Map"), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return prompts_->runMessageBox(box) == QMessageBox::Yes;
}

// ---- window operations ----------------------------------------------------------------------

void TForm1::selectLevel(int k) {
    const QSignalBlocker blocker(cbx);
    cbx->setCurrentIndex(k);
    // The box shows the selected row from the map: paint it again even when the index stays
    // (opening another file selects level 1 again, with other heights).
    cbx->update();
}

void TForm1::showHeight(int k) {
    edt->setText(formatHeight(map_.Levels.at(static_cast<std::size_t>(k)), HeightPattern::Field,
                              separator_));
}

void TForm1::repaintLevelList() {
    cbx->repaintRows();
}

void TForm1::redrawMaps() {
    DrawMaps();
}

QImage TForm1::heldPicture(bool highRes) const {
    return highRes ? Img128->picture() : Img64->picture();
}

void TForm1::SetEditing(bool value) {
    cbx->setEnabled(value);
    edt->setEnabled(value);
    Save1->setEnabled(value);
    Button1->setEnabled(value);
    Button3->setEnabled(value);
    Button4->setEnabled(value);
    Button5->setEnabled(value);
    Button6->setEnabled(value);
    if (!value) {
        Img64->clear();
        Img128->clear();
    }
}

std::optional<QString> TForm1::runOpenDialog() {
    return prompts_->runFileDialog(*open);
}

std::optional<QString> TForm1::runOpenPicDialog() {
    return prompts_->runFileDialog(*openPic);
}

std::optional<QString> TForm1::runSavePicDialog() {
    return prompts_->runFileDialog(*savePic);
}

void TForm1::setPictureDialogsFolder(const QString& folder) {
    openPic->setDirectory(folder);
    savePic->setDirectory(folder);
}

void TForm1::setSavePicFileName(const QString& name) {
    savePic->selectFile(name);
}

void TForm1::OpenWaterFile() {
    kelvarin::OpenWaterFile(map_, *this);
}

void TForm1::SaveWaterFile() {
    kelvarin::SaveWaterFile(map_, *this);
}

void TForm1::DrawMaps() {
    if (!map_.MapLoaded) {
        return;
    }
    Img128->setPicture(renderHighRes(map_));
    Img64->setPicture(renderLowRes(map_));
}

// ---- handlers -------------------------------------------------------------------------------

void TForm1::ffnen1Click() {
    guarded([this] { OpenWaterFile(); });
}

void TForm1::Button2Click() {
    guarded([this] { OpenWaterFile(); });
}

void TForm1::Save1Click() {
    guarded([this] { SaveWaterFile(); });
}

void TForm1::Button3Click() {
    guarded([this] { SaveWaterFile(); });
}

void TForm1::New1Click() {
    guarded([this] { map_.NewMap(*this); });
}

void TForm1::About1Click() {
    showMessage(aboutText());
}

void TForm1::cbxDrawItem(QPainter& painter, int index, const QRect& rect, LevelRowState state) {
    paintLevelRow(painter, rect, index, map_, levelRowTextColor(cbx->palette(), state.highlighted),
                  separator_);
    if (state.focused && map_.MapLoaded) {
        QStyleOptionFocusRect focus;
        focus.initFrom(cbx);
        focus.rect = rect;
        focus.backgroundColor = Qt::white;
        cbx->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, cbx);
    }
}

void TForm1::cbxChange() {
    if (!map_.MapLoaded || cbx->currentIndex() < 0) {
        return;
    }
    showHeight(cbx->currentIndex());
}

void TForm1::Button1Click() {
    if (!map_.MapLoaded || cbx->currentIndex() < 0) {
        return;
    }
    guarded([this] {
        const std::optional<float> height = parseHeight(edt->text(), separator_);
        if (!height) {
            showMessage(QStringLiteral("Please enter a floating point value!"));
            return;
        }
        map_.SetLevelHeight(cbx->currentIndex(), *height);
        repaintLevelList();
        DrawMaps();
    });
}

bool TForm1::edtKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        return false;
    }
    Button1->click();
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edt && event->type() == QEvent::KeyPress) {
        return edtKeyDown(static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Button4Click() {
    guarded([this] { map_.DeriveLowRes(*this); });
}

void TForm1::Button5Click() {
    if (cbx->currentIndex() < 0) {
        return;
    }
    guarded([this] { map_.ClearLevel(cbx->currentIndex(), *this); });
}

std::optional<std::uint8_t> TForm1::codeUnder(const MapView* view, int x, int y) const {
    if (!map_.MapLoaded) {
        return std::nullopt;
    }
    const bool high = view == Img128;
    const int size = high ? HighSize : LowSize;
    if (x < 0 || y < 0 || x >= size || y >= size) {
        // A button pressed on the picture and held or released off it: no cell there.
        return std::nullopt;
    }
    return high ? map_.HighRes[highCellOf(x, y)] : map_.LowRes[lowCellOf(x, y)];
}

void TForm1::readOut(const MapView* view, int x, int y) {
    const std::optional<std::uint8_t> under = codeUnder(view, x, y);
    if (!under) {
        return;
    }
    const std::uint8_t code = *under;
    lblPos->setText(QStringLiteral("%1; %2").arg(x).arg(y));
    lblLevel->setText(code >= LevelCount
                          ? QStringLiteral("(none)")
                          : formatHeight(map_.Levels[code], HeightPattern::Field, separator_));
}

void TForm1::selectByClick(const MapView* view, int x, int y) {
    const std::optional<std::uint8_t> code = codeUnder(view, x, y);
    if (!code) {
        return;
    }
    if (*code < LevelCount) {
        selectLevel(*code);
    }
    if (cbx->currentIndex() >= 0) {
        showHeight(cbx->currentIndex());
    }
}

void TForm1::Img128MouseMove(int x, int y) {
    readOut(Img128, x, y);
}

void TForm1::Img64MouseMove(int x, int y) {
    readOut(Img64, x, y);
}

void TForm1::Img128MouseUp(int x, int y) {
    selectByClick(Img128, x, y);
}

void TForm1::Img64MouseUp(int x, int y) {
    selectByClick(Img64, x, y);
}

void TForm1::Button6Click() {
    const QPoint at = Button6->mapToGlobal(QPoint(0, Button6->height() + 2));
    prompts_->runPopupMenu(*PopupMenu1, at);
}

void TForm1::ExportHiResMAp1Click() {
    guarded([this] { ExportHighResImage(map_, *this); });
}

void TForm1::ExportLowResMap1Click() {
    guarded([this] { ExportLowResImage(map_, *this); });
}

void TForm1::ImportLowResMap1Click() {
    guarded([this] { ImportHighResImage(map_, *this, random_); });
}

void TForm1::ImportLowResMap2Click() {
    guarded([this] { ImportLowResImage(map_, *this, random_); });
}
