#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// One history entry with the sequence it names; level and title are empty when the sequence has
// been deleted since (its history stays).
struct HistoryLine {
    QString callDate; // "yyyy/MM/dd"
    QString partyName;
    qint64 sequence = 0;
    QString level;
    QString title;
};

// A stored sequence a party heard: how often and when last.
struct HeardSequence {
    QString partyName;
    qint64 sequence = 0;
    QString level;
    QString date;
    QString time;
    QString title;
    int times = 0;
    QString lastCalled; // "yyyy/MM/dd"
};

// What the history rows tell across the whole library: which party heard which sequence when.
// Dates given to it are "yyyy-MM-dd", as history dates are stored. Failures throw DbError.
class LibraryHistory {
public:
    explicit LibraryHistory(Database& db) : m_db(db) {}

    // The distinct party names of the history, in name order.
    QStringList parties() const;
    bool hasParty(const QString& party) const;
    // The entries of one party (every party when nothing) dated from .. to (either end open when
    // empty, both included), by date, party and the order they were added.
    QList<HistoryLine> entries(const std::optional<QString>& party, const QString& from, const QString& to) const;
    // Per party (in name order), the stored sequences it heard, by sequence key.
    QList<HeardSequence> heardSequences() const;

private:
    Database& m_db;
};
