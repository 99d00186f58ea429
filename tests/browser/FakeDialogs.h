#pragma once

#include "IBrowserDialogs.h"

#include <QStringList>

// The main window's dialogs without windows: messages are recorded, the file dialog answers with
// fileToOpen, every other question is cancelled.
class FakeDialogs final : public IBrowserDialogs {
public:
    void exclamation(const QString& text) override { exclamations.append(text); }
    void information(const QString& text) override { informations.append(text); }
    bool question(const QString& text) override {
        questions.append(text);
        return false;
    }
    std::optional<QString> openFile(const QString& title, const QString& folder, const QString&) override {
        openRequests.append({title, folder});
        return fileToOpen;
    }
    QStringList openFiles(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&) override { return std::nullopt; }
    void about(const QString&, const QString&) override {}
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText&) override { return std::nullopt; }
    std::optional<int> historyDelete(const QList<HistoryEntryText>&) override { return std::nullopt; }
    std::optional<QString> changeLevel(const QStringList&) override { return std::nullopt; }
    std::optional<FormationText> editFormation(const FormationText&, bool) override { return std::nullopt; }

    std::optional<QString> fileToOpen;
    QStringList exclamations;
    QStringList informations;
    QStringList questions;
    // Title and initial folder of each file dialog shown.
    QList<QStringList> openRequests;
};
