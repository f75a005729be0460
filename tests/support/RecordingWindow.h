#pragma once

#include "document/WindowOps.h"
#include "images/MapPicture.h"

#include <QStringList>
#include <optional>

/// A stand-in for the editor's window that records every window operation in order and answers
/// the dialogs and the save question with what a test set beforehand.
class RecordingWindow : public kelvarin::WindowOps {
public:
    explicit RecordingWindow(const kelvarin::WaterMap* map = nullptr) : map_(map) {}

    QStringList calls;
    std::optional<QString> openAnswer;
    std::optional<QString> openPicAnswer;
    std::optional<QString> savePicAnswer;
    bool saveAnswer = true;
    QString picturesFolder;
    QString savePicName;
    QStringList messages;
    QImage high;
    QImage low;

    void selectLevel(int k) override { calls << QStringLiteral("select %1").arg(k); }
    void showHeight(int k) override { calls << QStringLiteral("height %1").arg(k); }
    void repaintLevelList() override { calls << QStringLiteral("repaint"); }
    void redrawMaps() override {
        calls << QStringLiteral("redraw");
        if (map_ && map_->MapLoaded) {
            high = kelvarin::renderHighRes(*map_);
            low = kelvarin::renderLowRes(*map_);
        }
    }
    QImage heldPicture(bool highRes) const override { return highRes ? high : low; }
    void SetEditing(bool value) override {
        calls << QStringLiteral("editing %1").arg(value ? "true" : "false");
    }
    std::optional<QString> runOpenDialog() override {
        calls << QStringLiteral("open dialog");
        return openAnswer;
    }
    std::optional<QString> runOpenPicDialog() override {
        calls << QStringLiteral("openPic dialog");
        return openPicAnswer;
    }
    std::optional<QString> runSavePicDialog() override {
        calls << QStringLiteral("savePic dialog");
        return savePicAnswer;
    }
    void setPictureDialogsFolder(const QString& folder) override {
        calls << QStringLiteral("pictures folder");
        picturesFolder = folder;
    }
    void setSavePicFileName(const QString& name) override {
        calls << QStringLiteral("savePic name %1").arg(name);
        savePicName = name;
    }
    bool confirmSave(const QString& question) override {
        calls << QStringLiteral("confirm");
        lastQuestion = question;
        return saveAnswer;
    }
    void showMessage(const QString& text) override {
        calls << QStringLiteral("message");
        messages << text;
    }
    QString lastQuestion;

private:
    const kelvarin::WaterMap* map_;
};
