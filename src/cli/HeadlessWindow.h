#pragma once

#include "document/WaterMap.h"

#include <QImage>
#include <QTextStream>

namespace kelvarin {

/// The window operations for the command line: dialogs answer with the paths given as
/// arguments, the save question answers Yes, messages go to the error stream, and the pictures
/// are drawn with the editor's renderer so that exports write what the editor would.
class HeadlessWindow : public WindowOps {
public:
    HeadlessWindow(const WaterMap& map, QTextStream& messages) : map_(map), messages_(messages) {}

    std::optional<QString> openPath;    ///< what the open dialog "chooses"
    std::optional<QString> picturePath; ///< what the picture dialogs "choose"

    void selectLevel(int) override {}
    void showHeight(int) override {}
    void repaintLevelList() override {}
    void redrawMaps() override;
    QImage heldPicture(bool highRes) const override { return highRes ? high_ : low_; }
    void SetEditing(bool) override {}
    std::optional<QString> runOpenDialog() override { return openPath; }
    std::optional<QString> runOpenPicDialog() override { return picturePath; }
    std::optional<QString> runSavePicDialog() override { return picturePath; }
    void setPictureDialogsFolder(const QString&) override {}
    void setSavePicFileName(const QString&) override {}
    bool confirmSave(const QString&) override { return true; }
    void showMessage(const QString& text) override;

private:
    const WaterMap& map_;
    QTextStream& messages_;
    QImage high_;
    QImage low_;
};

} // namespace kelvarin
