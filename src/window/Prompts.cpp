#include "window/Prompts.h"

#include <QFileDialog>
#include <QMenu>

std::optional<QString> Prompts::runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton Prompts::runMessageBox(QMessageBox& box) {
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
}

void Prompts::runPopupMenu(QMenu& menu, const QPoint& screenPos) {
    menu.exec(screenPos);
}
