#include "SequenceImport.h"

#include "Database.h"
#include "DbError.h"
#include "modSeqText.h"

#include <algorithm>

void SequenceImport::stop(const DbError& error) {
    throw Stopped{error.info(), error.causeKey()};
}

void SequenceImport::beginRun() {
    try {
        m_transaction = std::make_unique<Transaction>(m_db);
        // Read inside the run's write transaction, before any of its rows exist; they are stored
        // with 0 or more, so the position after them all is never below 1.
        m_orderNo =
            1 + std::max<qint64>(
                    0, m_db.scalar(QStringLiteral("SELECT Max(tblSequence.OrderNo) FROM tblSequence")).toLongLong());
        m_seek = m_db.prepare(QStringLiteral("SELECT 1 FROM tblSequence WHERE Date = ? AND Time = ? AND Level = ?"));
        m_addSequence = m_db.prepare(QStringLiteral(
            "INSERT INTO tblSequence (Level, Date, Time, Version, Note, Author, Property, OrderNo, Title) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        m_addCall = m_db.prepare(
            QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call, Note, Figure) VALUES (?, ?, ?, ?, ?)"));
        m_addHistory =
            m_db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
        m_savepointBegin = m_db.prepare(QStringLiteral("SAVEPOINT vorn_sequence"));
        m_savepointRelease = m_db.prepare(QStringLiteral("RELEASE vorn_sequence"));
        m_savepointRollback = m_db.prepare(QStringLiteral("ROLLBACK TO vorn_sequence"));
    } catch (const DbError& error) {
        abandonRun();
        stop(error);
    }
}

ISequenceSink::Outcome SequenceImport::addSequence(const SequenceRecord& sequence) {
    try {
        m_seek.bind(1, sequence.date).bind(2, sequence.time).bind(3, sequence.level);
        const bool found = m_seek.step();
        m_seek.reset();
        if (found) {
            return Outcome::Duplicate;
        }
        m_savepointBegin.run();
        m_inSequence = true;
        m_addSequence.bind(1, sequence.level)
            .bind(2, sequence.date)
            .bind(3, sequence.time)
            .bind(4, sequence.version)
            .bind(5, sequence.note)
            .bind(6, sequence.author)
            .bind(7, static_cast<qint64>(sequence.property))
            .bind(8, m_orderNo)
            .bind(9, sequence.title);
        m_addSequence.run();
        m_sequence = m_db.lastInsertRowId();
        ++m_added;
        m_addedList.append(m_sequence);
        return Outcome::Stored;
    } catch (const DbError& error) {
        return abandonSequence(error);
    }
}

ISequenceSink::Outcome SequenceImport::addHistory(const QString& callDate, const QString& partyName) {
    try {
        m_addHistory.bind(1, m_sequence).bind(2, callDate).bind(3, partyName);
        m_addHistory.run();
        return Outcome::Stored;
    } catch (const DbError& error) {
        return abandonSequence(error);
    }
}

ISequenceSink::Outcome SequenceImport::addCall(qint32 number, const QString& call, const QString& note,
                                               const QString& figure) {
    if (!m_inSequence) {
        return Outcome::Stored;
    }
    try {
        m_addCall.bind(1, m_sequence).bind(2, static_cast<qint64>(number)).bind(3, call).bind(4, note).bind(5, figure);
        m_addCall.run();
        return Outcome::Stored;
    } catch (const DbError& error) {
        return abandonSequence(error);
    }
}

ISequenceSink::Outcome SequenceImport::endSequence() {
    if (!m_inSequence) {
        return Outcome::Stored;
    }
    try {
        m_savepointRelease.run();
        m_inSequence = false;
        return Outcome::Stored;
    } catch (const DbError& error) {
        return abandonSequence(error);
    }
}

ISequenceSink::Outcome SequenceImport::abandonSequence(const DbError& error) {
    m_addSequence.reset();
    m_addCall.reset();
    m_addHistory.reset();
    m_seek.reset();
    if (error.isFatal() || !m_db.inTransaction()) {
        m_inSequence = false;
        stop(error);
    }
    if (m_inSequence) {
        try {
            m_savepointRollback.run();
            m_savepointRelease.run();
        } catch (const DbError&) {
            // The enclosing transaction is rolled back when its commit fails.
        }
        m_inSequence = false;
        if (!m_addedList.isEmpty() && m_addedList.last() == m_sequence) {
            m_addedList.removeLast();
            --m_added;
        }
    }
    m_failure = error.info();
    return Outcome::Failed;
}

void SequenceImport::finishRun(qint32 insertPosition) {
    try {
        place(insertPosition);
        m_transaction->commit();
        m_transaction.reset();
    } catch (const DbError& error) {
        abandonRun();
        stop(error);
    }
}

void SequenceImport::place(qint32 insertPosition) {
    // Appended sequences already have their place; at an insert position the sequences there
    // and after it move down, and the run's take that position.
    if (m_added == 0 || insertPosition < 0) {
        return;
    }
    // The run's rows are the only ones numbered from its first to its last key: the keys are
    // handed out in order inside the run's own write transaction.
    Statement shift = m_db.prepare(QStringLiteral(
        "UPDATE tblSequence SET OrderNo = OrderNo + ? WHERE OrderNo >= ? AND Sequence NOT BETWEEN ? AND ?"));
    shift.bind(1, m_added).bind(2, insertPosition).bind(3, m_addedList.front()).bind(4, m_addedList.back());
    shift.run();
    Statement update =
        m_db.prepare(QStringLiteral("UPDATE tblSequence SET OrderNo = ? WHERE Sequence BETWEEN ? AND ?"));
    update.bind(1, static_cast<qint64>(insertPosition)).bind(2, m_addedList.front()).bind(3, m_addedList.back());
    update.run();
}

void SequenceImport::abandonRun() {
    m_inSequence = false;
    m_seek = {};
    m_addSequence = {};
    m_addCall = {};
    m_addHistory = {};
    m_savepointBegin = {};
    m_savepointRelease = {};
    m_savepointRollback = {};
    m_transaction.reset();
}

namespace modSeqText {

int ReadSequenceText(Database& db, const QString& source, bool fromClipboard, qint32 insertPosition, ISeqTextHost& host,
                     IProgress* progress) {
    SequenceImport import(db);
    return ReadSequenceText(static_cast<ISequenceSink&>(import), source, fromClipboard, insertPosition, host, progress);
}

} // namespace modSeqText
