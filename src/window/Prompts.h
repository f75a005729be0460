#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <optional>

class QFileDialog;
class QMenu;

/// Runs the window's modal dialogs, message boxes and its pop-up menu.
///
/// The window builds each dialog, box and menu itself and hands it here to be run. The editor
/// uses this class as it is; tests derive from it to answer without waiting for a person, and
/// to look at what would have been shown.
class Prompts {
public:
    virtual ~Prompts() = default;

    /// Runs a file dialog: the chosen file's path, or nothing when cancelled.
    virtual std::optional<QString> runFileDialog(QFileDialog& dialog);
    /// Runs a message box: the button pressed.
    virtual QMessageBox::StandardButton runMessageBox(QMessageBox& box);
    /// Shows a pop-up menu at a screen point until it closes (its chosen item then acts).
    virtual void runPopupMenu(QMenu& menu, const QPoint& screenPos);
};
