#pragma once

#include "IBrowserDialogs.h"

#include <QStringList>

// The main window's dialogs without windows: each question gets its scripted answer (yes);
// messages, requests and proposals are recorded.
class FakeDialogs final : public IBrowserDialogs {
public:
    static QString entryText(const HistoryEntryText& entry) { return entry.callDate + '|' + entry.partyName; }

    void exclamation(const QString& text) override { exclamations.append(text); }
    void information(const QString& text) override { informations.append(text); }
    bool question(const QString& text) override {
        questions.append(text);
        return true;
    }
    std::optional<QString> openFile(const QString& title, const QString& folder, const QString&) override {
        openRequests.append({title, folder});
        return fileToOpen;
    }
    QStringList openFiles(const QString&, const QString&, const QString&) override { return filesToOpen; }
    std::optional<QString> saveFile(const QString& title, const QString& proposed, const QString&) override {
        saveRequests.append({title, proposed});
        return fileToOpen;
    }
    std::optional<QString> inputText(const QString&) override { return std::nullopt; }
    void about(const QString& caption, const QString&) override { informations.append(caption); }
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText& proposed) override {
        proposals.append(entryText(proposed));
        return historyEntry;
    }
    // Chooses the row equal to historyToDelete; cancels when none is.
    std::optional<int> historyDelete(const QList<HistoryEntryText>& rows) override {
        for (int i = 0; i < rows.size(); ++i) {
            if (entryText(rows[i]) == historyToDelete) {
                return i;
            }
        }
        return std::nullopt;
    }
    std::optional<QString> changeLevel(const QStringList&) override { return level; }
    std::optional<FormationText> editFormation(const FormationText&, bool) override { return formationAnswer; }
    std::optional<NotCalledChoice> notCalledFor(const QStringList& parties, const NotCalledChoice&) override {
        partyChoices = parties;
        return notCalled;
    }
    std::unique_ptr<IProgress> progress() override { return nullptr; }

    std::optional<QString> fileToOpen;
    QStringList filesToOpen;
    std::optional<HistoryEntryText> historyEntry;
    QString historyToDelete;
    std::optional<QString> level;
    std::optional<FormationText> formationAnswer;
    std::optional<NotCalledChoice> notCalled;

    QStringList exclamations;
    QStringList informations;
    QStringList questions;
    QList<QStringList> openRequests; // title and folder of each file dialog
    QList<QStringList> saveRequests; // title and proposed path of each dialog for a new file
    QStringList proposals;
    QStringList partyChoices;
};
