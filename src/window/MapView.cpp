#include "window/MapView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

MapView::MapView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void MapView::setPicture(const QImage& picture) {
    picture_ = picture; // shared until either side changes: the control keeps its own picture
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
    painter.drawImage(origin(), picture_);
}

QPoint MapView::origin() const {
    // Centred in the control, never stretched: the control is the picture's size.
    if (picture_.isNull()) {
        return {};
    }
    return {(width() - picture_.width()) / 2, (height() - picture_.height()) / 2};
}

QPoint MapView::pixelAt(const QMouseEvent* event) const {
    // Positions may be fractional on scaled screens, and lie outside the control while a button
    // pressed on it is held.
    const QPointF p = event->position();
    return QPoint(qFloor(p.x()), qFloor(p.y())) - origin();
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = pixelAt(event);
    emit pointerMoved(p.x(), p.y());
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = pixelAt(event);
    emit buttonReleased(p.x(), p.y());
}
