#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace kelvarin {

/// What the water map's operations ask of the window that shows it.
///
/// The map's operations (open, save, packing, the picture exchange) reach their window only
/// through this interface: the editor's main window implements it, tests implement a recording
/// fake, and the command-line tool a headless one that answers its dialogs with paths it was given.
class WindowOps {
public:
    virtual ~WindowOps() = default;

    /// The level list selects level k (0 to 14) without running its change handler.
    virtual void selectLevel(int k) = 0;
    /// The height field shows the height of level k, written with "0.0###".
    virtual void showHeight(int k) = 0;
    /// Every row of the level list is painted again from the map.
    virtual void repaintLevelList() = 0;
    /// Both grids are drawn as pictures and shown.
    virtual void redrawMaps() = 0;
    /// The picture the high-res (true) or low-res (false) picture control holds now, as the
    /// last redraw left it; an export writes it unchanged.
    virtual QImage heldPicture(bool highRes) const = 0;
    /// Enables or disables the editing controls; disabling also empties both pictures.
    virtual void SetEditing(bool value) = 0;

    /// Runs the open dialog for water files: the chosen path, or nothing when cancelled.
    virtual std::optional<QString> runOpenDialog() = 0;
    /// Runs the open-picture dialog: the chosen path, or nothing when cancelled.
    virtual std::optional<QString> runOpenPicDialog() = 0;
    /// Runs the save-picture dialog: the chosen path, or nothing when cancelled.
    virtual std::optional<QString> runSavePicDialog() = 0;
    /// Sets the start folder of the open-picture and then the save-picture dialog.
    virtual void setPictureDialogsFolder(const QString& folder) = 0;
    /// Sets the file name the save-picture dialog offers.
    virtual void setSavePicFileName(const QString& name) = 0;

    /// Asks the save question ("Save Water Map", Yes and No, Yes the default). True for Yes.
    virtual bool confirmSave(const QString& question) = 0;
    /// Shows a simple message (the application title as caption, no icon, one OK button).
    virtual void showMessage(const QString& text) = 0;
};

} // namespace kelvarin
