#include "CallEditing.h"

#include "BrowserState.h"
#include "CallList.h"
#include "Database.h"
#include "DbError.h"
#include "IBrowserDialogs.h"
#include "SequenceList.h"
#include "Settings.h"
#include "Transaction.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <algorithm>

namespace {

const QString kMoveCall = QStringLiteral("UPDATE tblCall SET Number = ? WHERE Sequence = ? AND Number = ?");

void moveCall(Statement& update, qint64 sequence, int from, int to) {
    update.bind(1, to).bind(2, sequence).bind(3, from);
    update.run();
}

void logError(const char* procedure, const DbError& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error.info());
}

} // namespace

CallEditing::CallEditing(Settings& settings, BrowserState& state, Database& db, SequenceList& sequences,
                         CallList& calls, IBrowserDialogs& dialogs, QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_db(db), m_sequences(sequences), m_calls(calls),
      m_dialogs(dialogs) {}

QList<CallEditing::StoredCall> CallEditing::loadCalls() {
    Statement select =
        m_db.prepare(QStringLiteral("SELECT Number, Call FROM tblCall WHERE Sequence = ? ORDER BY Number"));
    select.bind(1, m_state.currentSequence);
    QList<StoredCall> calls;
    while (select.step()) {
        calls.append({select.integer(0), select.text(1)});
    }
    return calls;
}

void CallEditing::RenumberCalls(QList<StoredCall>& calls) {
    const int count = static_cast<int>(calls.size());
    bool consecutive = true;
    for (int i = 0; i < count && consecutive; ++i) {
        consecutive = calls[i].number == i + 1;
    }
    if (consecutive) {
        return;
    }
    Statement update = m_db.prepare(kMoveCall);
    const qint64 sequence = m_state.currentSequence;
    // Going up from the first call, each new number is at most the call's old one and below every
    // later call's, so no two calls meet. Numbers below 1 would break that: those calls are first
    // lifted above all numbers in use.
    if (calls.front().number < 1) {
        const int base = std::max(calls.back().number, count) + 1;
        for (int i = 0; i < count; ++i) {
            moveCall(update, sequence, calls[i].number, base + i);
            calls[i].number = base + i;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (calls[i].number != i + 1) {
            moveCall(update, sequence, calls[i].number, i + 1);
            calls[i].number = i + 1;
        }
    }
}

void CallEditing::grdCall_AddRow(int n) {
    if (m_state.currentSequence == 0) {
        return;
    }
    try {
        Transaction transaction(m_db);
        QList<StoredCall> calls = loadCalls();
        if (calls.isEmpty()) {
            n = 1;
        } else {
            RenumberCalls(calls);
            // A number past the end would leave a gap; below 1 there is no place.
            n = std::clamp(n, 1, static_cast<int>(calls.size()) + 1);
            // From the last call backwards, so a raised number is always free.
            Statement update = m_db.prepare(kMoveCall);
            for (auto call = calls.crbegin(); call != calls.crend() && call->number >= n; ++call) {
                moveCall(update, m_state.currentSequence, call->number, call->number + 1);
            }
        }
        Statement add = m_db.prepare(QStringLiteral("INSERT INTO tblCall (Sequence, Number) VALUES (?, ?)"));
        add.bind(1, m_state.currentSequence).bind(2, n);
        add.run();
        transaction.commit();
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_AddRow", error);
        return;
    }
    m_calls.CreateCallList(m_sequences.currentSequence(), -1);
}

void CallEditing::grdCall_DeleteRow(int n) {
    if (m_state.currentSequence == 0) {
        return;
    }
    try {
        QList<StoredCall> calls = loadCalls();
        // After the renumbering call n is the n-th call.
        if (n < 1 || n > calls.size()) {
            return;
        }
        // Asked before the transaction opens, so no lock is held while the question waits.
        if (!calls[n - 1].call.isEmpty() && !m_dialogs.question(modGeneral::TransMessage(40132))) {
            return;
        }
        Transaction transaction(m_db);
        RenumberCalls(calls);
        Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblCall WHERE Sequence = ? AND Number = ?"));
        remove.bind(1, m_state.currentSequence).bind(2, n);
        remove.run();
        // From the first following call forwards, so a lowered number is always free.
        Statement update = m_db.prepare(kMoveCall);
        for (qsizetype i = n; i < calls.size(); ++i) {
            moveCall(update, m_state.currentSequence, calls[i].number, calls[i].number - 1);
        }
        transaction.commit();
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_DeleteRow", error);
        return;
    }
    m_calls.CreateCallList(m_sequences.currentSequence(), -1);
}

void CallEditing::grdCall_EditFormation(int n) {
    try {
        Statement find = m_db.prepare(QStringLiteral("SELECT 1 FROM tblCall WHERE Sequence = ? AND Number = ?"));
        find.bind(1, m_state.currentSequence).bind(2, n);
        if (m_state.currentSequence != 0 && find.step()) {
            const CallList::CachedCall cached = m_calls.cachedCall(n - 1);
            const std::optional<FormationText> edited =
                m_dialogs.editFormation({cached.figure, cached.note, cached.hexInfo}, m_settings.HexMode);
            if (edited) {
                Transaction transaction(m_db);
                Statement update = m_db.prepare(QStringLiteral(
                    "UPDATE tblCall SET Figure = ?, Note = ?, HexInfo = ? WHERE Sequence = ? AND Number = ?"));
                update.bind(1, edited->figure)
                    .bind(2, edited->note)
                    .bind(3, edited->hexInfo)
                    .bind(4, m_state.currentSequence)
                    .bind(5, n);
                update.run();
                transaction.commit();
                m_calls.setCachedCall(n - 1, {edited->note, edited->figure, edited->hexInfo});
            }
        }
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_EditFormation", error);
        return;
    }
    m_calls.DisplayCallDetail();
}

void CallEditing::mnuCallEditInsert_Click() {
    grdCall_AddRow(m_calls.currentRow() + 1);
}

void CallEditing::mnuCallEditAdd_Click() {
    grdCall_AddRow(m_calls.currentRow() + 2);
}

void CallEditing::mnuCallEditDelete_Click() {
    grdCall_DeleteRow(m_calls.currentRow() + 1);
}

void CallEditing::mnuCallEditFormation_Click() {
    grdCall_EditFormation(m_calls.currentRow() + 1);
}
