#pragma once

#include "document/WaterMap.h"

#include <QComboBox>
#include <QStyledItemDelegate>
#include <functional>

/// How one row of the level list is to be painted.
struct LevelRowState {
    bool highlighted = false; ///< the row under the cursor in the open list, or the focused box
    bool focused = false;     ///< draw a focus frame over the row
};

/// Paints row `index` of the level list into `row` (16 pixels high): a white row, the level
/// number at (left + 2, top + 1), the level's colour swatch from (left + 17, top + 1) to
/// (left + 32, bottom - 1) with a black outline, and the height with " units" or "(not used)"
/// right-aligned 3 pixels from the right edge. A row stays plain white while no map is loaded.
void paintLevelRow(QPainter& painter, const QRect& row, int index, const kelvarin::WaterMap& map,
                   const QColor& textColor, QChar separator);

/// The text colour of a row: the window text colour, or for a highlighted row the style's
/// highlighted-text colour, unless that is too pale to read on the row's white background, in
/// which case the highlight colour itself.
QColor levelRowTextColor(const QPalette& palette, bool highlighted);

/// The drop-down level list: 15 owner-drawn rows of 16 pixels, selection only from the list.
/// Rows of the open list and the closed box are painted by the drawItem callback. Enter on the
/// closed list (no Shift, Ctrl or Alt) is reported by enterPressed, for the default button.
class LevelList : public QComboBox {
    Q_OBJECT

public:
    using DrawItem = std::function<void(QPainter&, int, const QRect&, LevelRowState)>;

    explicit LevelList(QWidget* parent = nullptr);
    void setDrawItem(DrawItem draw) { drawItem_ = std::move(draw); }
    const DrawItem& drawItem() const { return drawItem_; }
    /// Paints every row again, in the box and in the open list.
    void repaintRows();

signals:
    void enterPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DrawItem drawItem_;
};

/// Paints the rows of the open level list through the list's drawItem callback.
class LevelRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit LevelRowDelegate(LevelList* list) : QStyledItemDelegate(list), list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    LevelList* list_;
};
