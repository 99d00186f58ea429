#pragma once

#include "Database.h"
#include "Fixtures.h"
#include "Statement.h"

#include <QStringList>

// Libraries for the export's tests: sequences written straight into the tables, and views of a
// library's rows that survive the new keys a move gives them.
namespace ExportSamples {

struct Sample {
    QString title;
    QString level = QStringLiteral("Plus");
    QString date = QStringLiteral("2002/01/05");
    int property = 0;
    qint64 orderNo = 1;
    int calls = 3;
    int history = 1;
};

// Adds the sequence with its calls ("<title> call <n>", a figure, a note, and hexagon offsets on
// every call) and history rows; returns its key.
inline qint64 add(Database& db, const Sample& s) {
    Fixtures::value(db,
                    QStringLiteral("INSERT INTO tblSequence (Level, [Date], [Time], Version, Title, [Note], Property, "
                                   "OrderNo, Author) VALUES (?, ?, '12:00:00', 'Sd39.56', ?, 'note of ' || ?3, ?, ?, "
                                   "'author')"),
                    {s.level, s.date, s.title, s.property, s.orderNo});
    const qint64 key = db.lastInsertRowId();
    for (int n = 1; n <= s.calls; ++n) {
        Fixtures::value(db,
                        QStringLiteral("INSERT INTO tblCall (Sequence, [Number], Call, Figure, [Note], HexInfo) VALUES "
                                       "(?1, ?2, ?3 || ' call ' || ?2, ' 1B^   1G^' || char(13, 10) || ' 2B>   2G<', "
                                       "'Warning: ' || ?2, ?2 || ',0,1,' || ?3)"),
                        {key, n, s.title});
    }
    for (int h = 1; h <= s.history; ++h) {
        Fixtures::value(db,
                        QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?1, "
                                       "printf('2026-01-%02d', ?2), 'Club ' || ?2 || ' of ' || ?3)"),
                        {key, h, s.title});
    }
    return key;
}

// The titles of the library's sequences in key order.
inline QStringList titles(Database& db) {
    return Fixtures::rows(db, QStringLiteral("SELECT Title FROM tblSequence ORDER BY Sequence"));
}

// Each sequence with every field but its key, its calls and its history, in title order: equal
// for a sequence before and after a move.
inline QStringList content(Database& db) {
    return Fixtures::rows(
        db, QStringLiteral("SELECT s.Title, s.Level, s.[Note], s.[Date], s.[Time], s.Property, s.Version, s.Author, "
                           "(SELECT group_concat(c.[Number] || '/' || c.Call || '/' || c.Figure || '/' || c.[Note] || "
                           "'/' || c.HexInfo, ';') FROM (SELECT * FROM tblCall c WHERE c.Sequence = s.Sequence "
                           "ORDER BY c.[Number]) c), "
                           "(SELECT group_concat(h.CallDate || '/' || h.PartyName, ';') FROM (SELECT * FROM tblHistory "
                           "h WHERE h.Sequence = s.Sequence ORDER BY h.History) h) "
                           "FROM tblSequence s ORDER BY s.Title"));
}

} // namespace ExportSamples
