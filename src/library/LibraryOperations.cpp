#include "LibraryOperations.h"

#include "Database.h"
#include "DbError.h"
#include "KeyList.h"
#include "LibraryContents.h"
#include "LibraryReader.h"
#include "Transaction.h"

#include <algorithm>

namespace {

const QString kInKeys = QStringLiteral("Sequence IN ") + KeyList::InKeys;
const QString kMoveCall = QStringLiteral("UPDATE tblCall SET Number = ? WHERE Sequence = ? AND Number = ?");

// A change that must touch a row; DAO's "No current record" when it touched none.
void requireChange(Database& db) {
    if (db.changes() == 0) {
        throw DbError(3021, QStringLiteral("No current record."));
    }
}

QString shownDate(const QString& stored) {
    return QString(stored).replace(QLatin1Char('-'), QLatin1Char('/'));
}

} // namespace

std::optional<SequenceHeader> LibraryOperations::sequence(qint64 key) const {
    Statement seek = m_db.prepare(QStringLiteral(
        "SELECT Sequence, Level, Date, Time, Author, Title, Property FROM tblSequence WHERE Sequence = ?"));
    seek.bind(1, key);
    if (!seek.step()) {
        return std::nullopt;
    }
    return SequenceHeader{seek.int64(0), seek.text(1), seek.text(2),   seek.text(3),
                          seek.text(4),  seek.text(5), seek.integer(6)};
}

QList<StoredCall> LibraryOperations::calls(const SequenceHeader& header) const {
    return LibraryReader(m_db).calls(header.sequence);
}

QList<HistoryRow> LibraryOperations::history(const SequenceHeader& header) const {
    Statement history = m_db.prepare(QStringLiteral("SELECT History, CallDate, PartyName FROM tblHistory "
                                                    "WHERE Sequence = ? ORDER BY CallDate, History"));
    history.bind(1, header.sequence);
    QList<HistoryRow> result;
    while (history.step()) {
        result.append({history.int64(0), shownDate(history.text(1)), history.text(2)});
    }
    return result;
}

QList<HistoryEntry> LibraryOperations::historyEntries(const QList<qint64>& keys) const {
    Statement distinct = m_db.prepare(QStringLiteral("SELECT DISTINCT CallDate, PartyName FROM tblHistory WHERE ") +
                                      kInKeys + QStringLiteral(" ORDER BY CallDate, PartyName"));
    distinct.bind(1, KeyList::json(keys));
    QList<HistoryEntry> result;
    while (distinct.step()) {
        result.append({distinct.text(0), distinct.text(1)});
    }
    return result;
}

QStringList LibraryOperations::levels() const {
    return LibraryContents::levels(m_db);
}

bool LibraryOperations::hasCall(qint64 key, int n) const {
    Statement find = m_db.prepare(QStringLiteral("SELECT 1 FROM tblCall WHERE Sequence = ? AND Number = ?"));
    find.bind(1, key).bind(2, n);
    return find.step();
}

void LibraryOperations::setState(const QList<qint64>& keys, int state) {
    Transaction transaction(m_db);
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Property = ? WHERE ") + kInKeys);
    update.bind(1, state).bind(2, KeyList::json(keys));
    update.run();
    transaction.commit();
}

void LibraryOperations::setTitle(qint64 key, const QString& title) {
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Title = ? WHERE Sequence = ?"));
    update.bind(1, title).bind(2, key);
    update.run();
    requireChange(m_db);
}

void LibraryOperations::changeLevel(const QList<qint64>& keys, const QString& level) {
    Transaction transaction(m_db);
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Level = ? WHERE ") + kInKeys);
    update.bind(1, level).bind(2, KeyList::json(keys));
    update.run();
    transaction.commit();
}

void LibraryOperations::deleteSequences(const QList<qint64>& keys, History history) {
    Transaction transaction(m_db);
    const auto removeFrom = [&](const char* table) {
        Statement remove =
            m_db.prepare(QStringLiteral("DELETE FROM ") + QLatin1String(table) + QStringLiteral(" WHERE ") + kInKeys);
        remove.bind(1, KeyList::json(keys));
        remove.run();
    };
    // One statement per table: the history table has no index by sequence and is scanned once.
    if (history == History::Delete) {
        removeFrom("tblHistory");
    }
    for (const char* table : {"tblCall", "tblSequence"}) {
        removeFrom(table);
    }
    transaction.commit();
}

void LibraryOperations::renumberOrder(const QList<qint64>& keysInListOrder) {
    Transaction transaction(m_db);
    // Rows already in place are left alone: nothing to write, and nothing for undo to keep.
    Statement update =
        m_db.prepare(QStringLiteral("UPDATE tblSequence SET OrderNo = ?1 WHERE Sequence = ?2 AND OrderNo IS NOT ?1"));
    for (qsizetype r = 0; r < keysInListOrder.size(); ++r) {
        update.bind(1, static_cast<qint64>(r + 1)).bind(2, keysInListOrder[r]);
        update.run();
    }
    transaction.commit();
}

void LibraryOperations::addHistory(const QList<qint64>& keys, const QDate& date, const QString& partyName) {
    Transaction transaction(m_db);
    Statement add =
        m_db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
    const QString day = date.toString(Qt::ISODate);
    for (const qint64 key : keys) {
        add.bind(1, key).bind(2, day).bind(3, partyName);
        add.run();
    }
    transaction.commit();
}

void LibraryOperations::deleteHistoryEntry(const QList<qint64>& keys, const HistoryEntry& entry) {
    Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblHistory WHERE ") + kInKeys +
                                    QStringLiteral(" AND CallDate = ? AND PartyName = ?"));
    remove.bind(1, KeyList::json(keys)).bind(2, entry.callDate).bind(3, entry.partyName);
    remove.run();
}

void LibraryOperations::deleteHistoryRows(const QList<qint64>& historyKeys) {
    Transaction transaction(m_db);
    Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblHistory WHERE History = ?"));
    for (const qint64 key : historyKeys) {
        remove.bind(1, key);
        remove.run();
    }
    transaction.commit();
}

void LibraryOperations::setHistoryDate(qint64 history, const QDate& date) {
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblHistory SET CallDate = ? WHERE History = ?"));
    update.bind(1, date.toString(Qt::ISODate)).bind(2, history);
    update.run();
    requireChange(m_db);
}

void LibraryOperations::setHistoryParty(qint64 history, const QString& partyName) {
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblHistory SET PartyName = ? WHERE History = ?"));
    update.bind(1, partyName).bind(2, history);
    update.run();
    requireChange(m_db);
}

int LibraryOperations::renumberCalls(qint64 key) {
    QList<int> numbers;
    {
        Statement select =
            m_db.prepare(QStringLiteral("SELECT Number FROM tblCall WHERE Sequence = ? ORDER BY Number"));
        select.bind(1, key);
        while (select.step()) {
            numbers.append(select.integer(0));
        }
    }
    const int count = static_cast<int>(numbers.size());
    Statement update = m_db.prepare(kMoveCall);
    const auto move = [&](int from, int to) {
        update.bind(1, to).bind(2, key).bind(3, from);
        update.run();
    };
    // Going up from the first call, each new number is at most the call's old one and below every
    // later call's, so no two calls meet. Numbers below 1 would break that: those calls are first
    // lifted above all numbers in use.
    if (count > 0 && numbers.front() < 1) {
        const int base = std::max(numbers.back(), count) + 1;
        for (int i = 0; i < count; ++i) {
            move(numbers[i], base + i);
            numbers[i] = base + i;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (numbers[i] != i + 1) {
            move(numbers[i], i + 1);
        }
    }
    return count;
}

int LibraryOperations::insertCall(qint64 key, int n) {
    Transaction transaction(m_db);
    const int count = renumberCalls(key);
    // A number past the end would leave a gap; below 1 there is no place.
    n = count == 0 ? 1 : std::clamp(n, 1, count + 1);
    // From the last call backwards, so a raised number is always free.
    Statement update = m_db.prepare(kMoveCall);
    for (int number = count; number >= n; --number) {
        update.bind(1, number + 1).bind(2, key).bind(3, number);
        update.run();
    }
    Statement add = m_db.prepare(QStringLiteral("INSERT INTO tblCall (Sequence, Number) VALUES (?, ?)"));
    add.bind(1, key).bind(2, n);
    add.run();
    transaction.commit();
    return n;
}

bool LibraryOperations::deleteCall(qint64 key, int n) {
    Transaction transaction(m_db);
    const int count = renumberCalls(key);
    if (n < 1 || n > count) {
        return false;
    }
    Statement remove = m_db.prepare(QStringLiteral("DELETE FROM tblCall WHERE Sequence = ? AND Number = ?"));
    remove.bind(1, key).bind(2, n);
    remove.run();
    // From the first following call forwards, so a lowered number is always free.
    Statement update = m_db.prepare(kMoveCall);
    for (int number = n + 1; number <= count; ++number) {
        update.bind(1, number - 1).bind(2, key).bind(3, number);
        update.run();
    }
    transaction.commit();
    return true;
}

void LibraryOperations::setCallText(qint64 key, int n, const QString& text) {
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblCall SET Call = ? WHERE Sequence = ? AND Number = ?"));
    update.bind(1, text).bind(2, key).bind(3, n);
    update.run();
    requireChange(m_db);
}

void LibraryOperations::setHexInfo(qint64 key, int n, const QString& hexInfo) {
    Statement update = m_db.prepare(QStringLiteral("UPDATE tblCall SET HexInfo = ? WHERE Sequence = ? AND Number = ?"));
    update.bind(1, hexInfo).bind(2, key).bind(3, n);
    update.run();
    requireChange(m_db);
}

void LibraryOperations::setFormation(qint64 key, int n, const QString& figure, const QString& note,
                                     const QString& hexInfo) {
    Statement update = m_db.prepare(
        QStringLiteral("UPDATE tblCall SET Figure = ?, Note = ?, HexInfo = ? WHERE Sequence = ? AND Number = ?"));
    update.bind(1, figure).bind(2, note).bind(3, hexInfo).bind(4, key).bind(5, n);
    update.run();
    requireChange(m_db);
}
