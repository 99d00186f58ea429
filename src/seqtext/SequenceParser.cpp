#include "SequenceParser.h"

#include <cmath>

namespace SequenceParser {

std::optional<qint16> numberOf(const QString& text) {
    // Plain digits (every header number) are read directly; anything else takes the general way.
    if (!text.isEmpty() && text.size() <= 4) {
        int value = 0;
        bool digitsOnly = true;
        for (const QChar c : text) {
            if (c.unicode() < u'0' || c.unicode() > u'9') {
                digitsOnly = false;
                break;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        if (digitsOnly) {
            return static_cast<qint16>(value);
        }
    }
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    QString digits;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        digits += text[i++];
    }
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            digits += c;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            digits += c;
        } else {
            break;
        }
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok) {
        return qint16{0};
    }
    const double rounded = std::nearbyint(value); // the default rounding mode is half to even
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<qint16>(rounded);
}

QDate dateSerial(int year, int month, int day) {
    const QDate first(year, 1, 1);
    if (!first.isValid()) {
        return {};
    }
    return first.addMonths(month - 1).addDays(day - 1);
}

QString monthToken(const QString& token) {
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const numbers[] = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"};
    if (token.size() == 3) {
        for (int m = 0; m < 12; ++m) {
            if (token == QLatin1String(names[m])) {
                return QLatin1String(numbers[m]);
            }
        }
    }
    return token;
}

QString titleFromNote(const QString& note, const QString& date, const QString& time) {
    const qsizetype lastBreak = note.lastIndexOf(QStringLiteral("\r\n"));
    const QString last = lastBreak < 0 ? note : note.mid(lastBreak + 2);
    if (note.isEmpty() || last == QLatin1String("Singing call progression")) {
        return date + QLatin1Char(' ') + time;
    }
    return last;
}

} // namespace SequenceParser
