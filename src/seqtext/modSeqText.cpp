#include "modSeqText.h"

#include "HistoryDate.h"
#include "IProgress.h"
#include "ISeqTextHost.h"
#include "ISequenceSink.h"
#include "LineSource.h"
#include "SequenceParser.h"
#include "Translation.h"
#include "modSystem.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>
#include <optional>

namespace {

const QString kProc = QStringLiteral("modSeqText.ReadSequenceText");
const QString kCrLf = QStringLiteral("\r\n");

void logError(int number, const QString& description) {
    modSystem::WriteErrorLog(kProc, {number, description});
}

// One run over one text: the parse state of the four-phase machine. What it finds goes to the
// sink, which stores each sequence on its own, so a failure costs only the sequence it happened in.
class Reader {
public:
    Reader(ISequenceSink& sink, ISeqTextHost& host) : m_sink(sink), m_host(host) {}

    void handle(QStringView line);
    void finish();
    int skipped() const { return m_skipped; }
    int failed() const { return m_failed; }

private:
    enum class Phase { Header, Title, Call, CallText };

    void header(QStringView line);
    void title(QStringView line);
    void call(QStringView line);
    void callText(QStringView line);
    void createSequence();
    void storePendingCall();
    void closeSequence();
    // The sink gave up the current sequence: the rest of its lines are skipped as those of a
    // duplicate would be.
    void abandonSequence();

    ISequenceSink& m_sink;
    ISeqTextHost& m_host;

    Phase m_phase = Phase::Header;
    QString m_date;
    QString m_time;
    QString m_version;
    QString m_level;
    qint16 m_state = 0;
    QString m_note;
    QStringList m_history;
    bool m_accepted = false;
    qint32 m_callNumber = 0;
    QString m_callText;
    bool m_callPending = false;
    QString m_figure;
    int m_layout = 0;
    // Sequences already in the library (or earlier in the same text), not stored again.
    int m_skipped = 0;
    // Sequences given up after a failure (each one logged).
    int m_failed = 0;
};

bool isNoteLine(QStringView line) {
    // Each marker holds "(" or ":", which most lines lack; one pass over the characters spares
    // those lines the far dearer word searches, above all the case-blind one.
    bool paren = false;
    bool colon = false;
    for (const QChar c : line) {
        paren = paren || c == QLatin1Char('(');
        colon = colon || c == QLatin1Char(':');
    }
    return (paren && line.contains(QLatin1String("(Actual"), Qt::CaseInsensitive)) ||
           (colon && (line.contains(QLatin1String("Warning:")) || line.contains(QLatin1String("Note:"))));
}

// The date as "yyyy/MM/dd" (separator "/") or in ISO form ("-"). Years 1 to 9999 are written out
// directly, since QDate::toString costs thousands of instructions a call; other years keep the
// form QDate::toString gives them.
QString dateText(const QDate& date, char16_t separator) {
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) {
        return separator == u'/' ? date.toString(QStringLiteral("yyyy/MM/dd")) : date.toString(Qt::ISODate);
    }
    const char16_t text[] = {char16_t(u'0' + year / 1000),
                             char16_t(u'0' + year / 100 % 10),
                             char16_t(u'0' + year / 10 % 10),
                             char16_t(u'0' + year % 10),
                             separator,
                             char16_t(u'0' + month / 10),
                             char16_t(u'0' + month % 10),
                             separator,
                             char16_t(u'0' + day / 10),
                             char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), std::size(text));
}

void Reader::handle(QStringView line) {
    if (line.isEmpty()) {
        switch (m_phase) {
        case Phase::Title:
            createSequence();
            m_phase = Phase::Call;
            break;
        case Phase::CallText:
            m_phase = Phase::Call;
            break;
        case Phase::Call:
            m_layout = m_layout > 0 ? (m_layout + 1) % 3 : 0;
            break;
        case Phase::Header:
            break;
        }
        return;
    }
    if (line.front() == QChar(12)) {
        if (!m_callText.isEmpty() && m_accepted && m_callPending) {
            storePendingCall();
        }
        closeSequence();
        m_phase = Phase::Header;
        m_accepted = false;
        m_callPending = false;
        m_note.resize(0);
        m_figure.resize(0);
        m_history.clear();
        m_state = 0;
        m_layout = 0;
        return;
    }
    if (!m_accepted && (m_phase == Phase::Call || m_phase == Phase::CallText)) {
        // The calls of a sequence that is not stored (stored already, or failed) are passed over.
        return;
    }
    switch (m_phase) {
    case Phase::Header:
        header(line);
        break;
    case Phase::Title:
        title(line);
        break;
    case Phase::Call:
        call(line);
        break;
    case Phase::CallText:
        callText(line);
        break;
    }
}

void Reader::header(QStringView line) {
    QStringList tokens;
    const int n = modSystem::StrScanf(line.toString(), tokens);
    if (n >= 7) {
        m_level = tokens[6];
    }
    if (n >= 6) {
        m_version = tokens[5];
    }
    if (n >= 5) {
        const auto year = SequenceParser::numberOf(tokens[4]);
        const auto month = SequenceParser::numberOf(SequenceParser::monthToken(tokens[1]));
        const auto day = SequenceParser::numberOf(tokens[2]);
        const QDate date = (year && month && day) ? SequenceParser::dateSerial(*year, *month, *day) : QDate();
        if (date.isValid()) {
            m_date = dateText(date, u'/');
        } else {
            logError(VornError::Overflow,
                     QStringLiteral("Overflow: no date in the header line \"%1\"").arg(line.toString()));
        }
    }
    if (n >= 4) {
        m_time = tokens[3];
    }
    m_phase = Phase::Title;
}

void Reader::title(QStringView line) {
    const QStringView t = line.trimmed();
    if (t.contains(QLatin1String("History:"))) {
        if (t.size() >= 9) {
            m_history.append(t.mid(8).toString());
        }
    } else if (t.contains(QLatin1String("Property:"))) {
        if (t.size() >= 10) {
            if (const auto state = SequenceParser::numberOf(t.mid(9).toString())) {
                m_state = *state;
            } else {
                logError(VornError::Overflow, QStringLiteral("Overflow: state number in \"%1\"").arg(t.toString()));
            }
        }
    } else {
        if (!m_note.isEmpty()) {
            m_note += kCrLf;
        }
        m_note += t;
    }
}

void Reader::call(QStringView line) {
    if (m_layout == -1 || isNoteLine(line)) {
        if (!m_note.isEmpty()) {
            m_note += QLatin1Char(' ');
        }
        m_note += line.trimmed();
        m_layout = -1;
        return;
    }
    if (line.front() != QLatin1Char(' ')) {
        if (m_accepted && m_callPending) {
            storePendingCall();
            ++m_callNumber;
            m_note.resize(0);
            m_figure.resize(0);
            m_callPending = false;
        }
        m_layout = 0;
        // resize(0) keeps each buffer's capacity: the texts of the next call reuse it.
        m_callText.resize(0);
        m_callText += line;
        m_callPending = true;
        m_phase = Phase::CallText;
        return;
    }
    if (!m_figure.isEmpty()) {
        m_figure += kCrLf;
        if (m_layout >= 2) {
            m_figure += kCrLf;
        }
    }
    m_figure += line.size() == 1 ? line : line.mid(1);
    m_layout = 1;
}

void Reader::callText(QStringView line) {
    const QStringView t = line.trimmed();
    if (!m_note.isEmpty()) {
        m_note += kCrLf;
        m_note += t;
    } else if (!line.contains(QLatin1String("Warning:")) && !line.contains(QLatin1String("Note:"))) {
        m_callText += QLatin1Char(' ');
        m_callText += t;
    } else {
        m_note.resize(0);
        m_note += t;
    }
}

void Reader::createSequence() {
    closeSequence();
    SequenceRecord sequence;
    sequence.level = m_level;
    sequence.date = m_date;
    sequence.time = m_time;
    sequence.version = m_version;
    sequence.note = m_note;
    sequence.author = m_host.author();
    sequence.property = m_state;
    sequence.title = SequenceParser::titleFromNote(m_note, m_date, m_time);
    switch (m_sink.addSequence(sequence)) {
    case ISequenceSink::Outcome::Duplicate:
        ++m_skipped;
        return;
    case ISequenceSink::Outcome::Failed:
        abandonSequence();
        return;
    case ISequenceSink::Outcome::Stored:
        break;
    }
    m_state = 0;
    for (const QString& entry : std::as_const(m_history)) {
        const qsizetype comma = entry.indexOf(QLatin1Char(','));
        if (comma < 0 || comma + 1 >= entry.size()) {
            continue;
        }
        const QDate callDate = HistoryDate::historyDate(entry.left(comma));
        if (!callDate.isValid()) {
            logError(VornError::TypeMismatch,
                     QStringLiteral("Type mismatch: \"%1\" is not a history date").arg(entry.left(comma)));
            continue;
        }
        if (m_sink.addHistory(dateText(callDate, u'-'), entry.mid(comma + 1)) == ISequenceSink::Outcome::Failed) {
            abandonSequence();
            return;
        }
    }
    m_callNumber = 1;
    m_note.resize(0);
    m_figure.resize(0);
    m_accepted = true;
}

void Reader::storePendingCall() {
    if (m_sink.addCall(m_callNumber, m_callText, m_note, m_figure) == ISequenceSink::Outcome::Failed) {
        abandonSequence();
    }
}

void Reader::closeSequence() {
    if (m_sink.endSequence() == ISequenceSink::Outcome::Failed) {
        abandonSequence();
    }
}

void Reader::abandonSequence() {
    m_accepted = false;
    m_callPending = false;
    ++m_failed;
    const ErrorInfo failure = m_sink.failure();
    logError(failure.number, failure.description);
}

void Reader::finish() {
    if (!m_callText.isEmpty() && m_accepted && m_callPending) {
        storePendingCall();
    }
    closeSequence();
}

void moveToBackup(const QString& path, const QDateTime& now) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath() + QStringLiteral("/Backup");
    if (!QDir().mkpath(folder)) {
        logError(VornError::PathAccess, QStringLiteral("Path/File access error: cannot create \"%1\"").arg(folder));
        return;
    }
    const QString target = folder + QLatin1Char('/') + modSeqText::BackupFileName(info.fileName(), now);
    if (!QFile::rename(path, target)) {
        logError(VornError::PathAccess,
                 QStringLiteral("Path/File access error: cannot move \"%1\" to \"%2\"").arg(path, target));
    }
}

} // namespace

namespace modSeqText {

QString BackupFileName(const QString& name, const QDateTime& now) {
    return QStringLiteral("backup") + now.toString(QStringLiteral("yyyyMMddHHmmss")) + QLatin1Char('_') + name;
}

int ReadSequenceText(ISequenceSink& sink, const QString& source, bool fromClipboard, qint32 insertPosition,
                     ISeqTextHost& host, IProgress* progress) {
    const QString where = fromClipboard ? host.transString(40302, QStringLiteral("the clipboard"))
                                        : QLatin1Char('"') + source + QLatin1Char('"');
    LineSource lines(QString(), LineSource::Kind::File);
    if (fromClipboard) {
        lines = LineSource(host.clipboardText(), LineSource::Kind::Clipboard);
    } else {
        QString errorText;
        switch (LineSource::fromFile(source, &lines, &errorText)) {
        case LineSource::Opened::Ok:
            break;
        case LineSource::Opened::NotAFile:
            host.refreshAfterRead();
            host.showReadFailure(modGeneral::MessageFormat(
                host.transString(40309, QStringLiteral("%1 is not a file that can be read: it is a folder, a device "
                                                       "or a pipe.")),
                {where}));
            return 0;
        case LineSource::Opened::Unreadable:
            // The error box names the file and the cause; there is nothing else to report.
            logError(VornError::FileNotFound, QStringLiteral("File not found: \"%1\" (%2)").arg(source, errorText));
            host.refreshAfterRead();
            return 0;
        }
    }

    int added = 0;
    int skipped = 0;
    int failed = 0;
    bool cancelled = false;
    std::optional<ISequenceSink::Stopped> failure;
    QString readError;
    try {
        sink.beginRun();
        Reader reader(sink, host);
        // The label changes with every sequence: it is put together from its fixed pieces.
        const QStringList label =
            modGeneral::MessageFormat(host.transString(20901, QStringLiteral("Reading %1: %2 sequences stored")),
                                      {where, QString(QChar(1))})
                .split(QChar(1));
        QStringView line;
        while (lines.next(&line)) {
            reader.handle(line);
            // A page break ends a sequence: what came before it is stored whole, and nothing
            // after it has begun, so the run can stop here.
            if (progress != nullptr && !line.isEmpty() && line.front() == QChar(12)) {
                progress->setLabel(label.join(QString::number(sink.added())));
                if (!progress->step(lines.position(), lines.size())) {
                    cancelled = true;
                    break;
                }
            }
        }
        if (lines.failed()) {
            // The rest of the file could not be read: nothing of it is kept.
            readError = lines.errorText();
            sink.abandonRun();
        } else {
            if (!cancelled) {
                reader.finish();
                if (progress != nullptr) {
                    // The whole text is in: a Cancel from here on has nothing left to stop.
                    progress->setLabel(label.join(QString::number(sink.added())));
                    progress->step(lines.size(), lines.size());
                }
            }
            sink.finishRun(insertPosition);
            added = sink.added();
            skipped = reader.skipped();
            failed = reader.failed();
        }
    } catch (const ISequenceSink::Stopped& stop) {
        failure = stop;
        sink.abandonRun();
    }
    const bool stored = !failure && readError.isNull();
    // A file whose sequences could not all be stored stays where it is, to be read again.
    if (!fromClipboard && stored && !cancelled && host.seqDateSave() &&
        !source.contains(QLatin1String("backup"), Qt::CaseInsensitive)) {
        moveToBackup(source, host.now());
    }

    if (progress != nullptr) {
        progress->pause();
    }
    host.refreshAfterRead();
    if (!stored) {
        // Nothing of the run was kept (its transaction is rolled back): one message names the
        // cause and the source; the log keeps the engine's own words.
        QString cause = readError;
        if (failure) {
            modSystem::WriteErrorLogFile(kProc, failure->error);
            cause = modGeneral::MessageFormat(
                host.transString(failure->causeKey, QStringLiteral("the library reported an error (%1).")),
                {failure->error.description});
        } else {
            modSystem::WriteErrorLogFile(kProc, {VornError::PathAccess, readError});
        }
        host.showReadFailure(modGeneral::MessageFormat(
            host.transString(40303, QStringLiteral("Reading %1 stopped: %2 Nothing of it was stored.")),
            {where, cause}));
        return 0;
    }
    if (cancelled) {
        host.showReadReport(modGeneral::MessageFormat(
            added == 1 ? host.transString(40310, QStringLiteral("Reading %1 was cancelled: 1 sequence was stored."))
                       : host.transString(40304, QStringLiteral("Reading %1 was cancelled: %2 sequences were stored.")),
            {where, added}));
        return added;
    }
    if (added == 0 && skipped == 0 && failed == 0) {
        host.showReadFailure(modGeneral::MessageFormat(
            host.transString(40305, QStringLiteral("No sequences were found in %1.")), {where}));
        return 0;
    }
    QString report =
        added == 1 ? modGeneral::MessageFormat(host.transString(40306, QStringLiteral("1 sequence was read from %1.")),
                                               {where})
                   : modGeneral::MessageFormat(
                         host.transString(40301, QStringLiteral("%2 sequences were read from %1.")), {where, added});
    if (skipped > 0) {
        report +=
            kCrLf + (skipped == 1
                         ? modGeneral::MessageFormat(
                               host.transString(40307, QStringLiteral("1 sequence was already in the library.")), {})
                         : modGeneral::MessageFormat(
                               host.transString(40308, QStringLiteral("%1 sequences were already in the library.")),
                               {skipped}));
    }
    host.showReadReport(report);
    return added;
}

} // namespace modSeqText
