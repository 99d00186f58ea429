#include "LibraryReader.h"

#include "Database.h"
#include "KeyList.h"
#include "SequenceTextWriter.h"

Statement& LibraryReader::prepared(Statement& statement, const QString& sql) {
    if (!statement.handle()) {
        statement = m_db.prepare(sql);
    }
    statement.reset();
    return statement;
}

std::optional<SequenceRecord> LibraryReader::sequenceRecord(qint64 key) {
    Statement& seek = prepared(m_sequence, QStringLiteral("SELECT Sequence, Level, Date, Time, Version, Author, Title, "
                                                          "Note, Property FROM tblSequence WHERE Sequence = ?"));
    seek.bind(1, key);
    if (!seek.step()) {
        seek.reset();
        return std::nullopt;
    }
    SequenceRecord record;
    record.sequence = seek.int64(0);
    record.level = seek.text(1);
    record.date = seek.text(2);
    record.time = seek.text(3);
    record.version = seek.text(4);
    record.author = seek.text(5);
    record.title = seek.text(6);
    record.note = seek.text(7);
    record.property = seek.int64(8);
    seek.reset();
    if (m_withHistory == History::Read) {
        if (m_preloaded) {
            record.history = m_histories.value(key);
        } else {
            Statement& history = prepared(
                m_history,
                QStringLiteral("SELECT CallDate, PartyName FROM tblHistory WHERE Sequence = ? ORDER BY History"));
            history.bind(1, key);
            while (history.step()) {
                record.history.append({history.text(0), history.text(1)});
            }
            history.reset();
        }
    }
    record.calls = calls(key);
    return record;
}

QList<CallRecord> LibraryReader::calls(qint64 key) {
    // By the sequence's key: two sequences may share level, date and time (after a level change).
    Statement& calls = prepared(
        m_calls,
        QStringLiteral("SELECT Number, Call, Figure, Note, HexInfo FROM tblCall WHERE Sequence = ? ORDER BY Number"));
    calls.bind(1, key);
    QList<CallRecord> result;
    while (calls.step()) {
        result.append({calls.integer(0), calls.text(1), calls.text(2), calls.text(3), calls.text(4)});
    }
    calls.reset();
    return result;
}

void LibraryReader::readAhead(const QList<qint64>& keys) {
    if (m_withHistory == History::Read && keys.size() > 1) {
        preloadHistory(keys);
    }
}

void LibraryReader::preloadHistory(const QList<qint64>& keys) {
    Statement history = m_db.prepare(QStringLiteral("SELECT Sequence, CallDate, PartyName FROM tblHistory "
                                                    "WHERE Sequence IN ") +
                                     KeyList::InKeys + QStringLiteral(" ORDER BY History"));
    history.bind(1, KeyList::json(keys));
    m_histories.clear();
    while (history.step()) {
        m_histories[history.int64(0)].append({history.text(1), history.text(2)});
    }
    m_preloaded = true;
}

QList<qint64> LibraryReader::missingSequences(const QList<qint64>& keys) {
    QList<qint64> missing;
    Statement seek = m_db.prepare(QStringLiteral("SELECT 1 FROM tblSequence WHERE Sequence = ?"));
    for (const qint64 key : keys) {
        seek.bind(1, key);
        if (!seek.step() && !missing.contains(key)) {
            missing.append(key);
        }
        seek.reset();
    }
    return missing;
}

namespace modSeqText {

QString SequencesText(Database& db, const QList<qint64>& sequences, bool* whole) {
    LibraryReader reader(db, LibraryReader::History::Read);
    return SequencesText(reader, sequences, whole);
}

} // namespace modSeqText
