#pragma once

#include "FakePrompts.h"
#include "support/WaterFileBuilder.h"
#include "window/TForm1.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

/// One real editor window on a map of its own, shown on the offscreen platform, with its
/// dialogs answered by FakePrompts.
struct WindowFixture {
    kelvarin::WaterMap map;
    FakePrompts::Shared prompts;
    std::unique_ptr<TForm1> form;

    WindowFixture() {
        form = std::make_unique<TForm1>(map, std::make_unique<FakePrompts>(prompts));
        form->setDecimalSeparator(QLatin1Char('.'));
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) {
            qWarning("window not active");
        }
    }

    /// Opens a water file through the Open button, as a user choosing `path` would.
    void openFile(const QString& path) {
        prompts.files.enqueue(path);
        QTest::mouseClick(form->Button2, Qt::LeftButton);
    }
};

/// Moves the pointer over `widget` to `pos` (QTest would take (0, 0) for the widget's centre).
inline void pointerTo(QWidget* widget, const QPoint& pos, Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                      Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

/// Presses and releases `button` over `widget` at `pos`, (0, 0) included.
inline void clickAt(QWidget* widget, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                      button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                        button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

/// A small water file: level 1 (code 0) at 2.5 in the high-res cells 0 to 99 and low-res cells
/// 0 to 9, level 2 (code 1) at 4.0 in high-res cell 16383, level 3 (code 2) at -1.25 in low-res
/// cell 4095; every other cell dry.
inline WaterFileBuilder sampleWaterFile() {
    WaterFileBuilder f;
    f.heights[0] = 2.5f;
    f.heights[1] = 4.0f;
    f.heights[2] = -1.25f;
    std::fill_n(f.high.begin(), 100, 0);
    f.high[16383] = 1;
    std::fill_n(f.low.begin(), 10, 0);
    f.low[4095] = 2;
    return f;
}
