#include "SequenceCommands.h"

#include "BrowserState.h"
#include "CallList.h"
#include "Database.h"
#include "DbError.h"
#include "GridView.h"
#include "HistoryDate.h"
#include "IBrowserDialogs.h"
#include "LibraryOperations.h"
#include "LibraryReader.h"
#include "SequenceList.h"
#include "Settings.h"
#include "UndoHistory.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QStandardItemModel>

namespace {

void logError(const char* procedure, const ErrorInfo& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error);
}

} // namespace

SequenceCommands::SequenceCommands(Settings& settings, BrowserState& state, LibraryOperations& library,
                                   SequenceList& sequences, CallList& calls, IBrowserDialogs& dialogs,
                                   std::function<void()> refreshLevels, QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_library(library), m_sequences(sequences), m_calls(calls),
      m_dialogs(dialogs), m_refreshLevels(std::move(refreshLevels)) {
    connect(m_calls.historyModel(), &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (!m_validating && !m_state.listFilling) {
            validateHistoryEdit(item->row(), item->column(), item->text());
        }
    });
}

QDate SequenceCommands::parseCallDate(const QString& text) {
    return HistoryDate::historyDate(text);
}

void SequenceCommands::refreshRow() {
    m_sequences.RowColChange(m_sequences.currentRow());
}

void SequenceCommands::setSequenceState(int index) {
    const QList<int> rows = m_sequences.selectedRows();
    if (rows.isEmpty() || index < 0 || index > 13) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10510));
        m_library.setState(m_sequences.selectedSequences(), index);
        m_sequences.showState(rows, index);
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceState_Click", error.info());
    }
}

void SequenceCommands::addHistory() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    const std::optional<HistoryEntryText> entry = m_dialogs.historyAdd({m_settings.CallDate, m_settings.PartyName});
    if (!entry) {
        return;
    }
    m_settings.CallDate = entry->callDate;
    m_settings.PartyName = entry->partyName;
    const QDate date = parseCallDate(entry->callDate);
    if (!date.isValid()) {
        logError("frmVornReader.mnuSequenceAddHist_Click",
                 {VornError::TypeMismatch, QStringLiteral("Type mismatch: \"%1\" is not a date").arg(entry->callDate)});
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10518));
        m_library.addHistory(keys, date, entry->partyName);
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceAddHist_Click", error.info());
    }
    refreshRow();
}

void SequenceCommands::deleteHistoryDate() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    try {
        const QList<HistoryEntry> stored = m_library.historyEntries(keys);
        if (stored.isEmpty()) {
            return;
        }
        QList<HistoryEntryText> shown;
        for (const HistoryEntry& entry : stored) {
            shown.append({QString(entry.callDate).replace(QLatin1Char('-'), QLatin1Char('/')), entry.partyName});
        }
        const std::optional<int> chosen = m_dialogs.historyDelete(shown);
        if (!chosen || *chosen < 0 || *chosen >= stored.size()) {
            return;
        }
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10519));
        m_library.deleteHistoryEntry(keys, stored[*chosen]);
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceDelHist_Click", error.info());
    }
    refreshRow();
}

void SequenceCommands::deleteHistoryRows() {
    QStandardItemModel* history = m_calls.historyModel();
    QList<qint64> rows;
    for (const QModelIndex& index : m_calls.historyGrid()->selectionModel()->selectedRows()) {
        rows.append(history->item(index.row(), 2)->text().toLongLong());
    }
    if (rows.isEmpty()) {
        m_dialogs.information(modGeneral::TransMessage(40121));
    } else if (m_dialogs.question(modGeneral::TransMessage(40122))) {
        try {
            const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10519));
            m_library.deleteHistoryRows(rows);
        } catch (const DbError& error) {
            logError("frmVornReader.mnuHistoryDelete_Click", error.info());
        }
        refreshRow();
    }
    m_calls.historyGrid()->setFocus();
}

void SequenceCommands::validateHistoryEdit(int row, int column, const QString& text) {
    if (!m_state.writable) {
        return;
    }
    QStandardItemModel* history = m_calls.historyModel();
    const qint64 key = history->item(row, 2)->text().toLongLong();
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10520));
        if (column == 0) {
            const QDate date = parseCallDate(text);
            if (!date.isValid()) {
                throw DbError(VornError::TypeMismatch, QStringLiteral("Type mismatch: \"%1\" is not a date").arg(text));
            }
            m_library.setHistoryDate(key, date);
            m_validating = true;
            history->item(row, 0)->setText(date.toString(QStringLiteral("yyyy/MM/dd")));
            m_validating = false;
        } else {
            m_library.setHistoryParty(key, text);
        }
    } catch (const DbError& error) {
        m_validating = false;
        logError("frmVornReader.grdHistory_ValidateEdit", error.info());
    }
}

void SequenceCommands::changeLevel() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    const std::optional<QString> level = m_dialogs.changeLevel(modGeneral::LevelNames());
    if (!level || level->isEmpty()) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10521));
        m_library.changeLevel(keys, *level);
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceChangeLevel_Click", error.info());
    }
    m_refreshLevels();
}

void SequenceCommands::deleteSequences() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty() || !m_dialogs.question(modGeneral::TransCount(40131, 40136, keys.size()))) {
        return;
    }
    // The calls go with their sequences; history rows stay, as designed.
    const LibraryUndo::Step step(m_library.undo(), UndoHistory::counted(10522, 10523, keys.size()));
    try {
        m_library.deleteSequences(keys);
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceDelete_Click", error.info());
    }
    m_refreshLevels();
    m_sequences.RenumberSequenceOrder();
}

void SequenceCommands::copySequences() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(modSeqText::SequencesText(m_library.database(), keys));
    m_dialogs.information(modGeneral::TransMessage(40134));
}

void SequenceCommands::cutSequences() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty() || !m_dialogs.question(modGeneral::TransMessage(40133))) {
        return;
    }
    // The text is on the clipboard before anything is deleted, and only a text that holds every
    // sequence whole lets the deletion go ahead; the deletion itself is all or nothing.
    bool whole = true;
    const QString text = modSeqText::SequencesText(m_library.database(), keys, &whole);
    if (!whole) {
        m_dialogs.exclamation(modGeneral::TransMessage(40135));
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    const LibraryUndo::Step step(m_library.undo(), UndoHistory::counted(10524, 10525, keys.size()));
    // The history goes too: the text carries it to wherever the sequences are pasted.
    try {
        m_library.deleteSequences(keys, LibraryOperations::History::Delete);
    } catch (const DbError& error) {
        logError("modSeqText.WriteSequenceClipboard", error.info());
    }
    m_refreshLevels();
    m_sequences.RenumberSequenceOrder();
}
