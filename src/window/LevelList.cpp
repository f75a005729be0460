#include "window/LevelList.h"

#include "document/HeightText.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

using namespace kelvarin;

namespace {

constexpr int RowHeight = 16;

// Text drawn with its top-left corner at `topLeft` on an opaque white background.
void textAt(QPainter& painter, const QPoint& topLeft, const QString& text) {
    const QFontMetrics metrics(painter.font());
    const QRect box(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(box, Qt::white);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

// The application's style, except that the open list is a plain drop-down of at most
// maxVisibleItems rows below the box (some styles show every row around the current one).
class DropDownStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void paintLevelRow(QPainter& painter, const QRect& row, int index, const WaterMap& map,
                   const QColor& textColor, QChar separator) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int left = row.left();
    const int top = row.top();
    const int right = row.right() + 1; // right and bottom edges are excluded
    const int bottom = row.bottom() + 1;

    painter.fillRect(row, Qt::white);
    if (!map.MapLoaded) {
        painter.restore();
        return;
    }
    painter.setPen(textColor);
    textAt(painter, QPoint(left + 2, top + 1), formatLevelNumber(index + 1));

    // The swatch covers (left + 17, top + 1) up to but excluding (left + 32, bottom - 1); a
    // one-pixel outline drawn on a rectangle w by h covers w + 1 by h + 1 pixels.
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(LevelColors(index));
    painter.drawRoundedRect(QRect(left + 17, top + 1, 14, bottom - 1 - (top + 1) - 1), 2, 2);
    painter.setBrush(Qt::white);

    const auto code = static_cast<std::uint8_t>(index);
    const QString text =
        map.IsLevelUsed(code)
            ? formatHeight(map.Levels[index], HeightPattern::List, separator) + " units"
            : QStringLiteral("(not used)");
    painter.setPen(textColor);
    const int width = QFontMetrics(painter.font()).horizontalAdvance(text);
    textAt(painter, QPoint(right - 3 - width, top + 1), text);
    painter.restore();
}

QColor levelRowTextColor(const QPalette& palette, bool highlighted) {
    if (!highlighted) {
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
    const QColor text = palette.color(QPalette::Active, QPalette::HighlightedText);
    // Rows are white; a highlighted-text colour meant for a dark highlight would vanish there.
    if (text.lightness() > 160) {
        return palette.color(QPalette::Active, QPalette::Highlight);
    }
    return text;
}

LevelList::LevelList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    auto* style = new DropDownStyle;
    style->setParent(this);
    setStyle(style);
    setMaxVisibleItems(8);
    setItemDelegate(new LevelRowDelegate(this));
}

void LevelList::repaintRows() {
    update();
    if (view()) {
        view()->viewport()->update();
    }
}

void LevelList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0 || !drawItem_) {
        return;
    }
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QRect row(field.left(), field.top() + (field.height() - RowHeight) / 2, field.width(),
                    RowHeight);
    const bool focused = hasFocus();
    drawItem_(painter, currentIndex(), row, LevelRowState{focused, focused});
}

void LevelList::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        if (!(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            emit enterPressed();
        }
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void LevelRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    if (!list_->drawItem()) {
        return;
    }
    const LevelRowState state{(option.state & QStyle::State_Selected) != 0,
                              (option.state & QStyle::State_HasFocus) != 0};
    list_->drawItem()(*painter, index.row(), option.rect, state);
}

QSize LevelRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), RowHeight);
}
