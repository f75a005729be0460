#pragma once

#include <QImage>
#include <QWidget>

/// A picture control: shows one map picture unscaled at its top-left corner, keeps its own
/// copy of the picture it was given, and reports pointer movements (with or without a button
/// held) and button releases in picture pixels.
class MapView : public QWidget {
    Q_OBJECT

public:
    explicit MapView(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void clear();
    const QImage& picture() const { return picture_; }

signals:
    void pointerMoved(int x, int y);
    void buttonReleased(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Where the picture's top-left pixel lies in the control.
    QPoint origin() const;
    /// The picture pixel under a pointer event.
    QPoint pixelAt(const QMouseEvent* event) const;

    QImage picture_;
};
