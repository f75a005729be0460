#include "window/MapView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

MapView::MapView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void MapView::setPicture(const QImage& picture) {
    picture_ = picture.copy();
    update();
}

void MapView::clear() {
    picture_ = QImage();
    update();
}

void MapView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    // Centred in the control, never stretched: the control is the picture's size.
    const QPoint origin((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    painter.drawImage(origin, picture_);
}

namespace {

// The picture pixel under a pointer position (which may be fractional on scaled screens, and
// lie outside the control while a button pressed on it is held).
QPoint pixelAt(const QMouseEvent* event, const QWidget* view, const QImage& picture) {
    const QPointF p = event->position();
    const QPoint origin((view->width() - picture.width()) / 2,
                        (view->height() - picture.height()) / 2);
    return QPoint(qFloor(p.x()) - origin.x(), qFloor(p.y()) - origin.y());
}

} // namespace

void MapView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = pixelAt(event, this, picture_);
    emit pointerMoved(p.x(), p.y());
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = pixelAt(event, this, picture_);
    emit buttonReleased(p.x(), p.y());
}
