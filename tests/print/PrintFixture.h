#pragma once

#include "Database.h"
#include "LibraryReader.h"
#include "RecordingPaintDevice.h"
#include "Transaction.h"

#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <map>

// A library read as print and the spreadsheet read it, for one call:
// PrintSequence(LibrarySource(db), ...).
class LibrarySource {
public:
    explicit LibrarySource(Database& db) : m_reader(db) {}
    operator ISequenceSource&() { return m_reader; }

private:
    LibraryReader m_reader;
};

// A composed page played back onto a recording device: its text lines (text items on one
// baseline joined from left to right, column by column from the top), its lines and its
// ellipses, all in twips.
struct RecordedPage {
    struct TextLine {
        QString text;
        QPointF position; // left end of the baseline
        int column = -1;
    };
    QList<TextLine> texts;
    QList<QLineF> lines;
    QList<QRectF> ellipses;

    // The first text line containing text; position (-1, -1) when there is none.
    TextLine find(const QString& text) const {
        for (const TextLine& line : texts) {
            if (line.text.contains(text)) {
                return line;
            }
        }
        return {{}, {-1, -1}, -1};
    }
    QString all() const {
        QStringList joined;
        for (const TextLine& line : texts) {
            joined.append(line.text);
        }
        return joined.join(QLatin1Char('\n'));
    }
};

// left: the first column's left edge; pitch: the distance from one column to the next.
inline QList<RecordedPage> recordPages(const QList<QPicture>& pages, double left, double pitch) {
    QList<RecordedPage> result;
    for (const QPicture& page : pages) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            painter.drawPicture(0, 0, page);
        }
        // Items on one baseline (in one column) form one line.
        std::map<std::pair<int, int>, QList<RecordingPaintDevice::Item>> baselines;
        for (const auto& item : device.items()) {
            const int column = static_cast<int>(std::floor((item.position.x() - left) / pitch));
            baselines[{column, qRound(item.position.y())}].append(item);
        }
        RecordedPage recorded;
        for (auto& [key, items] : baselines) {
            std::sort(items.begin(), items.end(),
                      [](const auto& a, const auto& b) { return a.position.x() < b.position.x(); });
            QString text;
            for (const auto& item : items) {
                text += item.text;
            }
            recorded.texts.append({text, items.front().position, key.first});
        }
        recorded.lines = device.lines();
        recorded.ellipses = device.ellipses();
        result.append(recorded);
    }
    return result;
}

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
    sequence.bind(1, time).bind(2, time).bind(3, note).bind(4, author);
    sequence.run();
    const qint64 key = db.lastInsertRowId();
    Statement call = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, Number, Call, Figure, Note, HexInfo) VALUES (?, ?, ?, ?, ?, '')"));
    for (qsizetype i = 0; i < calls.size(); ++i) {
        call.reset();
        call.bind(1, key).bind(2, static_cast<int>(i + 1)).bind(3, calls[i].call).bind(4, calls[i].figure);
        call.bind(5, calls[i].note);
        call.run();
    }
    savepoint.release();
    return key;
}

// A squared set of four lines.
inline const QString kSquaredSet = QStringLiteral("       3GV   3BV     \r\n 4B>               2G<\r\n"
                                                  " 4G>               2B<\r\n       1B^   1G^     ");
