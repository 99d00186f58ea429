#pragma once

#include "Database.h"
#include "LibraryReader.h"
#include "Transaction.h"

// A library read as print and the spreadsheet read it, for one call:
// PrintSequence(LibrarySource(db), ...).
class LibrarySource {
public:
    explicit LibrarySource(Database& db) : m_reader(db) {}
    operator ISequenceSource&() { return m_reader; }

private:
    LibraryReader m_reader;
};

struct TestCall {
    QString call;
    QString figure = {};
    QString note = {};
};

// A sequence at 2026/01/02 and the given time with its calls, added whole; returns its key.
inline qint64 addSequence(Database& db, const QString& time, const QList<TestCall>& calls, const QString& author = {},
                          const QString& note = {}) {
    Savepoint savepoint(db, QStringLiteral("addSequence"));
    Statement sequence = db.prepare(QStringLiteral(
        "INSERT INTO tblSequence (Level, Date, Time, Title, Note, Author) VALUES ('Plus', '2026/01/02', ?, ?, ?, ?)"));
    sequence.bind(1, time).bind(2, time).bind(3, note).bind(4, author).run();
    const qint64 key = db.lastInsertRowId();
    Statement call = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, Number, Call, Figure, Note, HexInfo) VALUES (?, ?, ?, ?, ?, '')"));
    for (qsizetype i = 0; i < calls.size(); ++i) {
        call.reset();
        call.bind(1, key).bind(2, static_cast<int>(i + 1)).bind(3, calls[i].call).bind(4, calls[i].figure);
        call.bind(5, calls[i].note).run();
    }
    savepoint.release();
    return key;
}

// A squared set of four lines.
inline const QString kSquaredSet = QStringLiteral("       3GV   3BV     \r\n 4B>               2G<\r\n"
                                                  " 4G>               2B<\r\n       1B^   1G^     ");
