#include "SequenceCommands.h"

#include "BrowserState.h"
#include "CallList.h"
#include "Database.h"
#include "DbError.h"
#include "GridView.h"
#include "IBrowserDialogs.h"
#include "KeyList.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "SequenceParser.h"
#include "SequenceTextWriter.h"
#include "Settings.h"
#include "Transaction.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QStandardItemModel>

namespace {

const QString kInKeys = QStringLiteral("Sequence IN ") + KeyList::InKeys;

void logError(const char* procedure, const ErrorInfo& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error);
}

} // namespace

SequenceCommands::SequenceCommands(Settings& settings, BrowserState& state, Database& db, SequenceList& sequences,
                                   CallList& calls, IBrowserDialogs& dialogs, std::function<void()> refreshLevels,
                                   QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_db(db), m_sequences(sequences), m_calls(calls),
      m_dialogs(dialogs), m_refreshLevels(std::move(refreshLevels)) {
    connect(m_calls.historyModel(), &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (!m_validating && !m_state.listFilling) {
            grdHistory_ValidateEdit(item->row(), item->column(), item->text());
        }
    });
}

QDate SequenceCommands::parseCallDate(const QString& text) {
    return SequenceParser::historyDate(text);
}

void SequenceCommands::refreshRow() {
    m_sequences.RowColChange(m_sequences.currentRow());
}

void SequenceCommands::mnuSequenceState_Click(int index) {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty() || index < 0 || index > 13) {
        return;
    }
    try {
        Transaction transaction(m_db);
        Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Property = ? WHERE ") + kInKeys);
        update.bind(1, index).bind(2, KeyList::json(keys));
        update.run();
        transaction.commit();
        for (const qint64 key : keys) {
            m_sequences.model()->setProperty(m_sequences.model()->rowOf(key), index);
        }
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceState_Click", error.info());
    }
}

void SequenceCommands::mnuSequenceAddHist_Click() {
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
        Transaction transaction(m_db);
        Statement add =
            m_db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
        for (const qint64 key : keys) {
            add.bind(1, key).bind(2, date.toString(Qt::ISODate)).bind(3, entry->partyName);
            add.run();
        }
        transaction.commit();
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceAddHist_Click", error.info());
    }
    refreshRow();
}

void SequenceCommands::mnuSequenceDelHist_Click() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    try {
        Statement distinct = m_db.prepare(QStringLiteral("SELECT DISTINCT CallDate, PartyName FROM tblHistory WHERE ") +
                                          kInKeys + QStringLiteral(" ORDER BY CallDate, PartyName"));
        distinct.bind(1, KeyList::json(keys));
        QList<HistoryEntryText> stored;
        QList<HistoryEntryText> shown;
        while (distinct.step()) {
            stored.append({distinct.text(0), distinct.text(1)});
            shown.append({QString(distinct.text(0)).replace(QLatin1Char('-'), QLatin1Char('/')), distinct.text(1)});
        }
        if (stored.isEmpty()) {
            return;
        }
        const std::optional<int> chosen = m_dialogs.historyDelete(shown);
        if (!chosen || *chosen < 0 || *chosen >= stored.size()) {
            return;
        }
        Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblHistory WHERE ") + kInKeys +
                                        QStringLiteral(" AND CallDate = ? AND PartyName = ?"));
        remove.bind(1, KeyList::json(keys)).bind(2, stored[*chosen].callDate).bind(3, stored[*chosen].partyName);
        remove.run();
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceDelHist_Click", error.info());
    }
    refreshRow();
}

void SequenceCommands::mnuHistoryDelete_Click() {
    QStandardItemModel* history = m_calls.historyModel();
    QList<qint64> rows;
    for (const QModelIndex& index : m_calls.historyGrid()->selectionModel()->selectedRows()) {
        rows.append(history->item(index.row(), 2)->text().toLongLong());
    }
    if (rows.isEmpty()) {
        m_dialogs.information(modGeneral::TransMessage(40121));
    } else if (m_dialogs.question(modGeneral::TransMessage(40122))) {
        try {
            Transaction transaction(m_db);
            Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblHistory WHERE History = ?"));
            for (const qint64 key : rows) {
                remove.bind(1, key);
                remove.run();
            }
            transaction.commit();
        } catch (const DbError& error) {
            logError("frmVornReader.mnuHistoryDelete_Click", error.info());
        }
        refreshRow();
    }
    m_calls.historyGrid()->setFocus();
}

void SequenceCommands::grdHistory_ValidateEdit(int row, int column, const QString& text) {
    QStandardItemModel* history = m_calls.historyModel();
    const qint64 key = history->item(row, 2)->text().toLongLong();
    try {
        if (column == 0) {
            const QDate date = parseCallDate(text);
            if (!date.isValid()) {
                throw DbError(VornError::TypeMismatch, QStringLiteral("Type mismatch: \"%1\" is not a date").arg(text));
            }
            Statement update = m_db.prepare(QStringLiteral("UPDATE tblHistory SET CallDate = ? WHERE History = ?"));
            update.bind(1, date.toString(Qt::ISODate)).bind(2, key);
            update.run();
            m_validating = true;
            history->item(row, 0)->setText(date.toString(QStringLiteral("yyyy/MM/dd")));
            m_validating = false;
        } else {
            Statement update = m_db.prepare(QStringLiteral("UPDATE tblHistory SET PartyName = ? WHERE History = ?"));
            update.bind(1, text).bind(2, key);
            update.run();
        }
    } catch (const DbError& error) {
        m_validating = false;
        logError("frmVornReader.grdHistory_ValidateEdit", error.info());
    }
}

void SequenceCommands::mnuSequenceChangeLevel_Click() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    const std::optional<QString> level = m_dialogs.changeLevel(modGeneral::LevelNames());
    if (!level || level->isEmpty()) {
        return;
    }
    try {
        Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Level = ? WHERE ") + kInKeys);
        update.bind(1, *level).bind(2, KeyList::json(keys));
        update.run();
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceChangeLevel_Click", error.info());
    }
    m_refreshLevels();
}

void SequenceCommands::mnuSequenceDelete_Click() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty() || !m_dialogs.question(modGeneral::TransMessage(40131))) {
        return;
    }
    // The calls go with their sequences; history rows stay, as designed.
    try {
        Transaction transaction(m_db);
        Statement calls = m_db.prepare(QStringLiteral("DELETE FROM tblCall WHERE ") + kInKeys);
        calls.bind(1, KeyList::json(keys));
        calls.run();
        Statement sequences = m_db.prepare(QStringLiteral("DELETE FROM tblSequence WHERE ") + kInKeys);
        sequences.bind(1, KeyList::json(keys));
        sequences.run();
        transaction.commit();
    } catch (const DbError& error) {
        logError("frmVornReader.mnuSequenceDelete_Click", error.info());
    }
    m_refreshLevels();
    m_sequences.RenumberSequenceOrder();
}

void SequenceCommands::mnuEditCopy_Click() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(modSeqText::SequencesText(m_db, keys));
    m_dialogs.information(modGeneral::TransMessage(40134));
}

void SequenceCommands::mnuEditCut_Click() {
    const QList<qint64> keys = m_sequences.selectedSequences();
    if (keys.isEmpty() || !m_dialogs.question(modGeneral::TransMessage(40133))) {
        return;
    }
    // The text is on the clipboard before anything is deleted, and the deletion is all or
    // nothing: a failure can never lose a sequence.
    QGuiApplication::clipboard()->setText(modSeqText::SequencesText(m_db, keys));
    modSeqText::DeleteSequences(m_db, keys);
    m_refreshLevels();
    m_sequences.RenumberSequenceOrder();
}
