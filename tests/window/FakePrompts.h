#pragma once

#include "window/Prompts.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QQueue>
#include <QStringList>

/// What a message box looked like when the window showed it.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

/// Answers the window's dialogs, message boxes and pop-up menu without a person: file dialogs
/// take the next queued path (or are cancelled when none is queued), message boxes the queued
/// answer (or their first button), and the pop-up menu triggers the item queued for it.
class FakePrompts : public Prompts {
public:
    struct Shared {
        QQueue<std::optional<QString>> files;
        QQueue<QMessageBox::StandardButton> answers;
        QStringList dialogsRun; ///< object names of the file dialogs run, in order
        QList<ShownBox> boxes;
        QString popupChoice; ///< caption of the pop-up item to trigger
        QPoint popupPos;
        QStringList popupItems; ///< captions ("-" for separators) of the pop-up menu shown
        int popups = 0;
        QString lastDialogFile; ///< the file name a file dialog offered when it was run
        QString lastDialogFolder;
    };

    explicit FakePrompts(Shared& shared) : s(shared) {}

    std::optional<QString> runFileDialog(QFileDialog& dialog) override {
        s.dialogsRun << dialog.objectName();
        s.lastDialogFolder = dialog.directory().absolutePath();
        const QStringList selected = dialog.selectedFiles();
        s.lastDialogFile = selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName();
        return s.files.isEmpty() ? std::nullopt : s.files.dequeue();
    }

    QMessageBox::StandardButton runMessageBox(QMessageBox& box) override {
        QMessageBox::StandardButton def = QMessageBox::NoButton;
        if (box.defaultButton()) {
            def = box.standardButton(box.defaultButton());
        }
        s.boxes << ShownBox{box.windowTitle(), box.text(), box.icon(), box.standardButtons(), def};
        if (!s.answers.isEmpty()) {
            return s.answers.dequeue();
        }
        return box.buttons().isEmpty() ? QMessageBox::NoButton
                                       : box.standardButton(box.buttons().first());
    }

    void runPopupMenu(QMenu& menu, const QPoint& screenPos) override {
        ++s.popups;
        s.popupPos = screenPos;
        s.popupItems.clear();
        QAction* chosen = nullptr;
        for (QAction* a : menu.actions()) {
            s.popupItems << (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (!a->isSeparator() && a->text() == s.popupChoice) {
                chosen = a;
            }
        }
        if (chosen) {
            chosen->trigger();
        }
    }

private:
    Shared& s;
};
