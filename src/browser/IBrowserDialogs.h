#pragma once

#include "IProgress.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// What the add-history dialog (frmMsgHistoryAdd) returns: the texts as entered.
struct HistoryEntryText {
    QString callDate;
    QString partyName;
};

// The sequence list's filter "Not called for": the party (nothing: any party) and the period in
// weeks up to today.
struct NotCalledChoice {
    std::optional<QString> party;
    int weeks = 8;
};

// A call's texts as the formation editor (frmFormation) edits them.
struct FormationText {
    QString figure;
    QString note;
    QString hexInfo;
};

// The modal questions and messages of the main window. The program shows dialogs; tests answer
// them without a window.
class IBrowserDialogs {
public:
    virtual ~IBrowserDialogs() = default;

    virtual void exclamation(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // OK and Cancel with the question icon; true for OK.
    virtual bool question(const QString& text) = 0;
    // A file to open; filter is "Description|pattern|..." as the translation files hold it.
    virtual std::optional<QString> openFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // Several files to open (File > Read); empty when cancelled.
    virtual QStringList openFiles(const QString& title, const QString& folder, const QString& filter) = 0;
    // The file dialog for a new file (its button creates, not opens), opened on the proposed path
    // (its folder, the name ready to take or change); nothing when cancelled.
    virtual std::optional<QString> saveFile(const QString& title, const QString& proposed, const QString& filter) {
        return openFile(title, proposed, filter);
    }
    // A line of text (the schema upgrade's author question); nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& prompt) = 0;
    // The About box.
    virtual void about(const QString& caption, const QString& version) = 0;

    // frmMsgHistoryAdd with the proposed date and party; nothing when cancelled.
    virtual std::optional<HistoryEntryText> historyAdd(const HistoryEntryText& proposed) = 0;
    // frmMsgHistoryDel over the distinct (date, party) rows; the chosen row, nothing when cancelled.
    virtual std::optional<int> historyDelete(const QList<HistoryEntryText>& rows) = 0;
    // frmMsgChangeLevel over the level names; the chosen level, nothing when cancelled.
    virtual std::optional<QString> changeLevel(const QStringList& levels) = 0;
    // frmFormation on a call's texts; the edited texts, nothing when cancelled or closed.
    virtual std::optional<FormationText> editFormation(const FormationText& call, bool hexMode) = 0;
    // frmNotCalledFor over the library's party names, opened on the proposed choice; the choice,
    // nothing when cancelled.
    virtual std::optional<NotCalledChoice> notCalledFor(const QStringList& parties,
                                                        const NotCalledChoice& proposed) = 0;
    // The progress of a long command, for its duration (nullptr: none is shown).
    virtual std::unique_ptr<IProgress> progress() { return nullptr; }
};

// The dialogs as real windows.
class WidgetDialogs final : public IBrowserDialogs {
public:
    explicit WidgetDialogs(class QWidget* parent) : m_parent(parent) {}

    void exclamation(const QString& text) override;
    void information(const QString& text) override;
    bool question(const QString& text) override;
    std::optional<QString> openFile(const QString& title, const QString& folder, const QString& filter) override;
    QStringList openFiles(const QString& title, const QString& folder, const QString& filter) override;
    std::optional<QString> saveFile(const QString& title, const QString& proposed, const QString& filter) override;
    std::optional<QString> inputText(const QString& prompt) override;
    void about(const QString& caption, const QString& version) override;
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText& proposed) override;
    std::optional<int> historyDelete(const QList<HistoryEntryText>& rows) override;
    std::optional<QString> changeLevel(const QStringList& levels) override;
    std::optional<FormationText> editFormation(const FormationText& call, bool hexMode) override;
    std::optional<NotCalledChoice> notCalledFor(const QStringList& parties, const NotCalledChoice& proposed) override;
    std::unique_ptr<IProgress> progress() override;

    // "A|*.a|B|*.b" as a Qt file dialog filter.
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_parent;
};
