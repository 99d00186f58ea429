#include "GeneratorFile.h"

#include "BenchSupport.h"

#include <QDate>
#include <QStringList>
#include <iterator>

namespace {

const char* const kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* const kOpeners[] = {"HEADS lead right", "SIDES lead right",          "HEADS pass the ocean",
                                "SIDES slide thru", "HEADS right and left thru", "Heads 1P2P"};

const char* const kCalls[] = {"roll",
                              "U-turn back",
                              "trade and roll",
                              "acey deucey",
                              "wheel around",
                              "split circulate",
                              "circulate",
                              "swing thru",
                              "half sashay",
                              "{ careful here } trade and roll",
                              "spread",
                              "roll away",
                              "ping-pong circulate",
                              "pass thru",
                              "partner trade",
                              "fan the top",
                              "explode",
                              "ends run",
                              "first couple go left, next go left, keep walking",
                              "{ walk it first } do-sa-do",
                              "{ timing: 8 beats } side corners trade",
                              "{ hint: watch the ends } cut the diamond",
                              "{ dancers will stumble } tag the line 0/4",
                              "{ this is an inserted comment } 3/4 tag the line",
                              "those facing scoot back others dodge",
                              "spin chain thru",
                              "slip the clutch",
                              "single circle right 4/4",
                              "separate and [1/4 in]",
                              "square thru 3",
                              "touch 3/4",
                              "trade the wave"};

const char* const kClosers[] = {"left allemande  (at home)", "right and left grand  (3/8 promenade)",
                                "dixie grand, left allemande  (3/8 promenade)",
                                "promenade  (approximately 3/4 promenade)"};

// Diagram rows as the generator prints them, each with its leading blank.
const QStringList kDiagrams[] = {
    {QStringLiteral(" 2GV  1BV  2B>  1G^  3GV  4B<  3B^  4G^")},
    {QStringLiteral(" 1G>   3B<   2GV   2BV"), QStringLiteral(" 4B^   4G^   1B>   3G<")},
    {QStringLiteral("      3GV   3BV"), QStringLiteral(" 4B>             2G<"), QStringLiteral(" 4G>             2B<"),
     QStringLiteral("      1B^   1G^")},
};

} // namespace

GeneratorFile GeneratorFile::generate(int count, int meanCalls) {
    GeneratorFile file;
    file.level = QStringLiteral("Plus");
    file.version = QStringLiteral("Sd39.56:db39.56");
    file.sequences.reserve(count);
    // A fixed seed, so every run times the same file.
    BenchSupport::Lcg random(0x5eed);
    QString text;
    const QString eol = QStringLiteral("\n");
    text += eol;
    for (int s = 0; s < count; ++s) {
        // 37 has no factor in common with the seconds of a day, so no two sequences share a time.
        const int second = (s * 37) % 86400;
        const QDate date(2000 + s % 27, 1 + (s / 27) % 12, 1 + (s / 324) % 28);
        Sequence sequence;
        sequence.date = date.toString(QStringLiteral("yyyy/MM/dd"));
        sequence.time = QStringLiteral("%1:%2:%3")
                            .arg(second / 3600, 2, 10, QLatin1Char('0'))
                            .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                            .arg(second % 60, 2, 10, QLatin1Char('0'));
        sequence.note = QStringLiteral("Generated sequence %1 for the workshop").arg(s);
        const QDate called(2026, 1 + s % 12, 1 + s % 28);
        sequence.historyDate = called.toString(Qt::ISODate);
        sequence.party = QStringLiteral("Club %1").arg(s % 7);

        if (s > 0) {
            text += QChar(12) + eol;
        }
        text += QStringLiteral("%1 %2 %3 %4 %5     %6     %7")
                    .arg(QLatin1String(kWeekdays[date.dayOfWeek() - 1]), QLatin1String(kMonths[date.month() - 1]))
                    .arg(date.day(), 2)
                    .arg(sequence.time)
                    .arg(date.year())
                    .arg(file.version, file.level) +
                eol;
        text += QStringLiteral("       ") + sequence.note + eol;
        text +=
            QStringLiteral("       History: %1,%2").arg(called.toString(QStringLiteral("yyyy/MM/dd")), sequence.party) +
            eol + eol + eol;

        const int calls = meanCalls - 2 + s % 5;
        for (int c = 1; c <= calls; ++c) {
            Call call;
            if (c == 1) {
                call.text = QLatin1String(kOpeners[random.next() % std::size(kOpeners)]);
            } else if (c == calls) {
                call.text = QLatin1String(kClosers[random.next() % std::size(kClosers)]);
            } else {
                call.text = QLatin1String(kCalls[random.next() % std::size(kCalls)]);
            }
            text += call.text + eol;
            if (c == calls) {
                sequence.calls.append(call);
                break;
            }
            text += eol;
            if ((c + s) % 2 == 0) {
                const QStringList& rows = kDiagrams[random.next() % std::size(kDiagrams)];
                QStringList stored;
                for (const QString& row : rows) {
                    text += row + eol + eol;
                    stored.append(row.mid(1));
                }
                text += eol;
                // An empty line between two diagram rows is kept as an empty line of the figure.
                call.figure = stored.join(QStringLiteral("\r\n\r\n"));
                ++file.figureCount;
            }
            sequence.calls.append(call);
        }
        file.callCount += sequence.calls.size();
        file.sequences.append(sequence);
    }
    file.text = text.toUtf8();
    return file;
}
