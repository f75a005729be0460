#pragma once

#include "document/WindowOps.h"

/// A window that does nothing, so that a benchmark measures the map's own work; its picture
/// dialogs answer with `picturePath`.
class NullWindow : public kelvarin::WindowOps {
public:
    std::optional<QString> picturePath;

    void selectLevel(int) override {}
    void showHeight(int) override {}
    void repaintLevelList() override {}
    void redrawMaps() override {}
    QImage heldPicture(bool) const override { return {}; }
    void SetEditing(bool) override {}
    std::optional<QString> runOpenDialog() override { return {}; }
    std::optional<QString> runOpenPicDialog() override { return picturePath; }
    std::optional<QString> runSavePicDialog() override { return picturePath; }
    void setPictureDialogsFolder(const QString&) override {}
    void setSavePicFileName(const QString&) override {}
    bool confirmSave(const QString&) override { return true; }
    void showMessage(const QString&) override {}
};
