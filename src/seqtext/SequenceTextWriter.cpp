#include "SequenceTextWriter.h"

#include "Database.h"
#include "DbError.h"
#include "KeyList.h"
#include "SequenceParser.h"
#include "Transaction.h"
#include "modSystem.h"

#include <QDateTime>
#include <QLocale>

namespace {

const QString kProc = QStringLiteral("modSeqText.WriteSequenceClipboard");
const QString kCrLf = QStringLiteral("\r\n");
// Title-block lines stand indented so that they can never be taken for a call line.
const QString kIndent = QString(13, QLatin1Char(' '));
const QString kGap = QString(5, QLatin1Char(' '));

void logError(const DbError& error) {
    modSystem::WriteErrorLog(kProc, error.info());
}

Statement prepareLogged(Database& db, const QString& sql) {
    try {
        return db.prepare(sql);
    } catch (const DbError& error) {
        logError(error);
        return {};
    }
}

// "ddd MMM dd hh:mm:ss yyyy", English whatever the locale, as the generator writes it. A date that
// cannot be read keeps its stored text in place of the date parts.
QString headerLine(const QString& date, const QString& time, const QString& version, const QString& level) {
    const QLocale english = QLocale::c();
    const QDate day = SequenceParser::historyDate(date);
    QString dayPart = date;
    QString year;
    if (day.isValid()) {
        dayPart = english.toString(day, QStringLiteral("ddd MMM dd"));
        year = english.toString(day, QStringLiteral("yyyy"));
    }
    QTime clock = QTime::fromString(time, QStringLiteral("H:m:s"));
    if (!clock.isValid()) {
        clock = QTime::fromString(time, QStringLiteral("H:m"));
    }
    const QString timePart = clock.isValid() ? clock.toString(QStringLiteral("HH:mm:ss")) : time;
    return dayPart + QLatin1Char(' ') + timePart + QLatin1Char(' ') + year + kGap + version + kGap + level;
}

// History dates are stored as ISO dates and written as "yyyy/mm/dd".
QString historyDateText(const QString& stored) {
    QDate date = SequenceParser::historyDate(stored);
    if (!date.isValid()) {
        date = QDateTime::fromString(stored, Qt::ISODate).date();
    }
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : stored;
}

// Each figure line indented by one blank; an empty line inside the figure stays empty.
void appendFigure(QString& text, const QString& figure) {
    const QStringList pieces = figure.split(kCrLf);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        if (piece.isEmpty()) {
            if (i + 1 < pieces.size()) {
                text += kCrLf;
            }
        } else {
            text += QLatin1Char(' ') + piece + kCrLf;
        }
    }
    text += kCrLf;
}

} // namespace

SequenceTextWriter::SequenceTextWriter(Database& db)
    : m_sequence(prepareLogged(
          db, QStringLiteral("SELECT Date, Time, Version, Level, Note, Property FROM tblSequence WHERE Sequence = ?"))),
      m_history(prepareLogged(
          db, QStringLiteral("SELECT CallDate, PartyName FROM tblHistory WHERE Sequence = ? ORDER BY History"))),
      m_calls(prepareLogged(
          db, QStringLiteral("SELECT Call, Note, Figure FROM tblCall WHERE Sequence = ? ORDER BY Number"))),
      m_db(db) {}

void SequenceTextWriter::preloadHistory(const QList<qint64>& sequences) {
    try {
        Statement history = m_db.prepare(QStringLiteral("SELECT Sequence, CallDate, PartyName FROM tblHistory "
                                                        "WHERE Sequence IN ") +
                                         KeyList::InKeys + QStringLiteral(" ORDER BY History"));
        history.bind(1, KeyList::json(sequences));
        m_histories.clear();
        while (history.step()) {
            m_histories[history.int64(0)].append({history.text(1), history.text(2)});
        }
        m_preloaded = true;
    } catch (const DbError& error) {
        fail(error);
    }
}

void SequenceTextWriter::write(QString& text, qint64 sequence) {
    if (!text.isEmpty()) {
        text += QChar(12) + kCrLf;
    }
    if (!writeSequence(text, sequence)) {
        return;
    }
    writeCalls(text, sequence);
}

// The header and title block up to the two empty lines before the calls. False when the sequence
// cannot be found or read, and nothing was written.
bool SequenceTextWriter::writeSequence(QString& text, qint64 sequence) {
    if (!m_sequence.handle()) {
        m_complete = false;
        return false;
    }
    QString head;
    QString note;
    qint64 property = 0;
    try {
        m_sequence.bind(1, sequence);
        if (!m_sequence.step()) {
            m_sequence.reset();
            return false;
        }
        head = headerLine(m_sequence.text(0), m_sequence.text(1), m_sequence.text(2), m_sequence.text(3));
        note = m_sequence.text(4);
        property = m_sequence.int64(5);
        m_sequence.reset();
    } catch (const DbError& error) {
        m_sequence.reset();
        fail(error);
        return false;
    }
    text += kCrLf + head + kCrLf;
    if (!note.isEmpty()) {
        text += kIndent + note + kCrLf;
    }
    writeHistory(text, sequence);
    if (property != 0) {
        text += kIndent + QStringLiteral("Property:") + QString::number(property) + kCrLf;
    }
    text += kCrLf + kCrLf;
    return true;
}

void SequenceTextWriter::writeHistory(QString& text, qint64 sequence) {
    if (m_preloaded) {
        for (const auto& [callDate, partyName] : m_histories.value(sequence)) {
            text +=
                kIndent + QStringLiteral("History:") + historyDateText(callDate) + QLatin1Char(',') + partyName + kCrLf;
        }
        return;
    }
    if (!m_history.handle()) {
        return;
    }
    try {
        m_history.bind(1, sequence);
        while (m_history.step()) {
            text += kIndent + QStringLiteral("History:") + historyDateText(m_history.text(0)) + QLatin1Char(',') +
                    m_history.text(1) + kCrLf;
        }
    } catch (const DbError& error) {
        fail(error);
    }
    m_history.reset();
}

void SequenceTextWriter::writeCalls(QString& text, qint64 sequence) {
    if (!m_calls.handle()) {
        return;
    }
    try {
        m_calls.bind(1, sequence);
        while (m_calls.step()) {
            text += m_calls.text(0) + kCrLf;
            const QString note = m_calls.text(1);
            if (!note.isEmpty()) {
                text += QStringLiteral("  ") + note + kCrLf;
            }
            text += kCrLf;
            const QString figure = m_calls.text(2);
            if (!figure.isEmpty()) {
                appendFigure(text, figure);
            }
            text += kCrLf;
        }
    } catch (const DbError& error) {
        fail(error);
    }
    m_calls.reset();
}

void SequenceTextWriter::fail(const DbError& error) {
    m_complete = false;
    logError(error);
}

namespace modSeqText {

void WriteSequenceClipboard(Database& db, QString& text, qint64 sequence) {
    SequenceTextWriter(db).write(text, sequence);
}

QString SequencesText(Database& db, const QList<qint64>& sequences, bool* whole) {
    QString text;
    SequenceTextWriter writer(db);
    if (sequences.size() > 1) {
        writer.preloadHistory(sequences);
    }
    for (const qint64 sequence : sequences) {
        writer.write(text, sequence);
    }
    if (whole) {
        *whole = writer.isComplete();
    }
    return text;
}

QList<qint64> MissingSequences(Database& db, const QList<qint64>& sequences) {
    QList<qint64> missing;
    Statement seek = db.prepare(QStringLiteral("SELECT 1 FROM tblSequence WHERE Sequence = ?"));
    for (const qint64 sequence : sequences) {
        seek.bind(1, sequence);
        if (!seek.step() && !missing.contains(sequence)) {
            missing.append(sequence);
        }
        seek.reset();
    }
    return missing;
}

bool DeleteSequences(Database& db, const QList<qint64>& sequences) {
    try {
        // One statement per table: the history table has no index by sequence and is scanned once.
        Transaction transaction(db);
        const QString keys = KeyList::json(sequences);
        for (const char* table : {"tblHistory", "tblCall", "tblSequence"}) {
            Statement remove = db.prepare(QStringLiteral("DELETE FROM ") + QLatin1String(table) +
                                          QStringLiteral(" WHERE Sequence IN ") + KeyList::InKeys);
            remove.bind(1, keys);
            remove.run();
        }
        transaction.commit();
        return true;
    } catch (const DbError& error) {
        logError(error);
        return false;
    }
}

} // namespace modSeqText
