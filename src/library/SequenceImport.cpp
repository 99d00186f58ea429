#include "SequenceImport.h"

#include "Database.h"
#include "DbError.h"
#include "modSeqText.h"

#include <algorithm>
#include <vector>

namespace {

// The sequences written inside one savepoint: a failure writes at most this many again.
constexpr int kBatch = 64;

// The rows of a range of sequences in one table, to be written again as they were.
class KeptRows {
public:
    KeptRows(Database& db, const char* table, qint64 first, qint64 last) : m_table(QLatin1String(table)) {
        Statement rows = db.prepare(QStringLiteral("SELECT * FROM ") + m_table +
                                    QStringLiteral(" WHERE Sequence BETWEEN ? AND ? ORDER BY rowid"));
        rows.bind(1, first).bind(2, last);
        m_columns = rows.columnCount();
        while (rows.step()) {
            for (int c = 0; c < m_columns; ++c) {
                m_values.push_back(rows.value(c));
            }
        }
    }
    void writeBack(Database& db) const {
        QStringList marks(m_columns, QStringLiteral("?"));
        Statement insert = db.prepare(QStringLiteral("INSERT INTO ") + m_table + QStringLiteral(" VALUES (") +
                                      marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        for (size_t at = 0; at < m_values.size(); at += static_cast<size_t>(m_columns)) {
            insert.reset();
            for (int c = 0; c < m_columns; ++c) {
                insert.bind(c + 1, m_values[at + static_cast<size_t>(c)]);
            }
            insert.run();
        }
    }

private:
    QString m_table;
    int m_columns = 0;
    std::vector<QVariant> m_values;
};

} // namespace

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
        m_savepointBegin = m_db.prepare(QStringLiteral("SAVEPOINT vorn_batch"));
        m_savepointRelease = m_db.prepare(QStringLiteral("RELEASE vorn_batch"));
        m_savepointRollback = m_db.prepare(QStringLiteral("ROLLBACK TO vorn_batch"));
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
        if (!m_batchOpen) {
            m_savepointBegin.run();
            m_batchOpen = true;
        }
        m_inSequence = true;
        m_sequenceStored = false;
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
        m_sequenceStored = true;
        if (m_batchFirst == 0) {
            m_batchFirst = m_sequence;
        }
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
    m_inSequence = false;
    m_batchLast = m_sequence;
    if (++m_batchEnded >= kBatch) {
        try {
            releaseBatch();
        } catch (const DbError& error) {
            stop(error);
        }
    }
    return Outcome::Stored;
}

void SequenceImport::releaseBatch() {
    if (m_batchOpen) {
        m_savepointRelease.run();
        m_batchOpen = false;
        m_batchFirst = 0;
        m_batchLast = 0;
        m_batchEnded = 0;
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
        m_inSequence = false;
        if (m_sequenceStored) {
            m_addedList.removeLast();
            --m_added;
        }
        // The batch goes back to its start and its complete sequences are written again as they
        // were, keys included.
        try {
            std::vector<KeptRows> kept;
            if (m_batchLast != 0) {
                for (const char* table : {"tblSequence", "tblHistory", "tblCall"}) {
                    kept.emplace_back(m_db, table, m_batchFirst, m_batchLast);
                }
            }
            m_savepointRollback.run();
            for (const KeptRows& rows : kept) {
                rows.writeBack(m_db);
            }
            releaseBatch();
        } catch (const DbError& again) {
            stop(again);
        }
    }
    m_failure = error.info();
    return Outcome::Failed;
}

void SequenceImport::finishRun(qint32 insertPosition) {
    try {
        releaseBatch();
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
    m_batchOpen = false;
    m_batchFirst = 0;
    m_batchLast = 0;
    m_batchEnded = 0;
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
