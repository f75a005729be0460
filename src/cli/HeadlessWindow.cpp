#include "cli/HeadlessWindow.h"

#include "images/MapPicture.h"

namespace kelvarin {

void HeadlessWindow::redrawMaps() {
    if (!map_.MapLoaded) {
        return;
    }
    high_ = renderHighRes(map_);
    low_ = renderLowRes(map_);
}

void HeadlessWindow::showMessage(const QString& text) {
    messages_ << text << Qt::endl;
}

} // namespace kelvarin
