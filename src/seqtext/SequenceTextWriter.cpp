#include "SequenceTextWriter.h"

#include "CodedError.h"
#include "HistoryDate.h"
#include "modSystem.h"

#include <QDateTime>
#include <QLocale>

namespace {

const QString kProc = QStringLiteral("modSeqText.WriteSequenceClipboard");
const QString kCrLf = QStringLiteral("\r\n");
// Title-block lines stand indented so that they can never be taken for a call line.
const QString kIndent = QString(13, QLatin1Char(' '));
const QString kGap = QString(5, QLatin1Char(' '));

void logError(const std::exception& e) {
    if (const auto* coded = dynamic_cast<const CodedError*>(&e)) {
        modSystem::WriteErrorLog(kProc, coded->info());
    } else {
        modSystem::WriteErrorLog(kProc, ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
    }
}

// "ddd MMM dd hh:mm:ss yyyy", English whatever the locale, as the generator writes it. A date that
// cannot be read keeps its stored text in place of the date parts.
QString headerLine(const QString& date, const QString& time, const QString& version, const QString& level) {
    const QLocale english = QLocale::c();
    const QDate day = HistoryDate::historyDate(date);
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
    QDate date = HistoryDate::historyDate(stored);
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

namespace SequenceTextWriter {

void write(QString& text, const SequenceRecord& sequence) {
    if (!text.isEmpty()) {
        text += QChar(12) + kCrLf;
    }
    // The header and title block up to the two empty lines before the calls.
    text += kCrLf + headerLine(sequence.date, sequence.time, sequence.version, sequence.level) + kCrLf;
    if (!sequence.note.isEmpty()) {
        text += kIndent + sequence.note + kCrLf;
    }
    for (const HistoryRecord& history : sequence.history) {
        const QString& callDate = history.callDate;
        text += kIndent + QStringLiteral("History:") + historyDateText(callDate) + QLatin1Char(',') +
                history.partyName + kCrLf;
    }
    const qint64 property = sequence.property;
    if (property != 0) {
        text += kIndent + QStringLiteral("Property:") + QString::number(property) + kCrLf;
    }
    text += kCrLf + kCrLf;
    for (const CallRecord& call : sequence.calls) {
        text += call.call + kCrLf;
        if (!call.note.isEmpty()) {
            text += QStringLiteral("  ") + call.note + kCrLf;
        }
        text += kCrLf;
        if (!call.figure.isEmpty()) {
            appendFigure(text, call.figure);
        }
        text += kCrLf;
    }
}

} // namespace SequenceTextWriter

namespace modSeqText {

bool WriteSequenceClipboard(ISequenceSource& source, QString& text, qint64 sequence) {
    try {
        if (const std::optional<SequenceRecord> record = source.sequenceRecord(sequence)) {
            SequenceTextWriter::write(text, *record);
            return true;
        }
    } catch (const std::exception& e) {
        logError(e);
        if (!text.isEmpty()) {
            text += QChar(12) + kCrLf;
        }
        return false;
    }
    // A sequence no row carries appends only the separator.
    if (!text.isEmpty()) {
        text += QChar(12) + kCrLf;
    }
    return true;
}

QString SequencesText(ISequenceSource& source, const QList<qint64>& sequences, bool* whole) {
    QString text;
    bool complete = true;
    try {
        source.readAhead(sequences);
    } catch (const std::exception& e) {
        // Each sequence is read alone instead.
        logError(e);
        complete = false;
    }
    for (const qint64 sequence : sequences) {
        complete = WriteSequenceClipboard(source, text, sequence) && complete;
    }
    if (whole) {
        *whole = complete;
    }
    return text;
}

} // namespace modSeqText
