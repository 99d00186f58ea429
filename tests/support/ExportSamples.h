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
inline qint64 add(Database& db, const Sample& sample) {
    Statement sequence =
        db.prepare(QStringLiteral("INSERT INTO tblSequence (Level, [Date], [Time], Version, Title, [Note], Property, "
                                  "OrderNo, Author) VALUES (?, ?, ?, 'Sd39.56', ?, ?, ?, ?, 'author')"));
    sequence.bind(1, sample.level)
        .bind(2, sample.date)
        .bind(3, QStringLiteral("12:00:00"))
        .bind(4, sample.title)
        .bind(5, QStringLiteral("note of ") + sample.title)
        .bind(6, sample.property)
        .bind(7, sample.orderNo);
    sequence.run();
    const qint64 key = db.lastInsertRowId();
    Statement call = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, [Number], Call, Figure, [Note], HexInfo) VALUES (?, ?, ?, ?, ?, ?)"));
    for (int n = 1; n <= sample.calls; ++n) {
        call.bind(1, key)
            .bind(2, n)
            .bind(3, QStringLiteral("%1 call %2").arg(sample.title).arg(n))
            .bind(4, QStringLiteral(" 1B^   1G^\r\n 2B>   2G<"))
            .bind(5, QStringLiteral("Warning: %1").arg(n))
            .bind(6, QStringLiteral("%1,0,1,%2").arg(n).arg(sample.title));
        call.run();
    }
    Statement history =
        db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
    for (int h = 1; h <= sample.history; ++h) {
        history.bind(1, key).bind(2, QStringLiteral("2026-01-%1").arg(h, 2, 10, QLatin1Char('0')));
        history.bind(3, QStringLiteral("Club %1 of %2").arg(h).arg(sample.title));
        history.run();
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
