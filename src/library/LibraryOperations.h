#pragma once

#include "LibraryUndo.h"
#include "SequenceRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class Database;

// One sequence's own fields, as the browser's header and list show them.
struct SequenceHeader {
    qint64 sequence = 0;
    QString level;
    QString date;
    QString time;
    QString author;
    QString title;
    int property = 0;
};

// One call of a sequence.
using StoredCall = CallRecord;

// One use of a sequence: its history row, the date as "yyyy/MM/dd".
struct HistoryRow {
    qint64 history = 0;
    QString callDate;
    QString partyName;
};

// A date and party that several sequences' history rows share.
struct HistoryEntry {
    QString callDate; // as stored, "yyyy-MM-dd"
    QString partyName;
    bool operator==(const HistoryEntry&) const = default;
};

// Everything the window, the command-line tool and the export change in a library, on one
// connection and without a widget in sight. Each change is one transaction: it is made whole or
// not at all. Failures throw DbError; the callers report them under their own procedure names.
class LibraryOperations {
public:
    explicit LibraryOperations(Database& db) : m_db(db), m_undo(db) {}

    Database& database() const { return m_db; }
    // Records the window's changes for undo; the command-line tool never starts it.
    LibraryUndo& undo() { return m_undo; }

    // Reading.
    std::optional<SequenceHeader> sequence(qint64 key) const;
    // The calls of a sequence in Number order, found through its identity (level, date, time).
    QList<StoredCall> calls(const SequenceHeader& header) const;
    // Its history rows by date, then in the order they were added.
    QList<HistoryRow> history(const SequenceHeader& header) const;
    // The distinct dates and parties in the history of the sequences.
    QList<HistoryEntry> historyEntries(const QList<qint64>& keys) const;
    // The levels that hold sequences.
    QStringList levels() const;
    // Whether the sequence has a call numbered n.
    bool hasCall(qint64 key, int n) const;

    // Sequences.
    void setState(const QList<qint64>& keys, int state);
    void setTitle(qint64 key, const QString& title);
    void changeLevel(const QList<qint64>& keys, const QString& level);
    // Deletes the sequences with their calls. Their history stays, as it always has, unless
    // asked to go with them (a cut, whose text carries the history to wherever it is pasted).
    enum class History { Keep, Delete };
    void deleteSequences(const QList<qint64>& keys, History history = History::Keep);
    // Gives the sequences OrderNo 1, 2, 3 ... in the order given (the list order).
    void renumberOrder(const QList<qint64>& keysInListOrder);

    // History.
    void addHistory(const QList<qint64>& keys, const QDate& date, const QString& partyName);
    void deleteHistoryEntry(const QList<qint64>& keys, const HistoryEntry& entry);
    void deleteHistoryRows(const QList<qint64>& historyKeys);
    void setHistoryDate(qint64 history, const QDate& date);
    void setHistoryParty(qint64 history, const QString& partyName);

    // Calls. The numbers of a sequence's calls are made consecutive from 1 before an insert or a
    // delete. n counts from 1.
    // Inserts an empty call as number n (clamped to 1 .. count + 1); returns the number it got.
    int insertCall(qint64 key, int n);
    // Deletes call n; false when there is no such call.
    bool deleteCall(qint64 key, int n);
    // The n-th call's text (throws when there is no such call).
    void setCallText(qint64 key, int n, const QString& text);
    void setHexInfo(qint64 key, int n, const QString& hexInfo);
    void setFormation(qint64 key, int n, const QString& figure, const QString& note, const QString& hexInfo);

private:
    // Makes the Number values of the sequence's calls consecutive from 1; returns the count.
    int renumberCalls(qint64 key);

    Database& m_db;
    LibraryUndo m_undo;
};
