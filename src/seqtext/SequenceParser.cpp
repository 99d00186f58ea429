#include "SequenceParser.h"

#include <QLocale>
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

QDate historyDate(const QString& text) {
    // Year, month and day of 4, 1-2 and 1-2 digits, separated by "/", "-" or ".", blanks around:
    // the form this program writes, read without building anything on the heap.
    const QStringView t = QStringView(text).trimmed();
    int parts[3] = {0, 0, 0};
    const int shortest[3] = {4, 1, 1};
    const int widths[3] = {4, 2, 2};
    qsizetype i = 0;
    bool numeric = true;
    for (int part = 0; part < 3 && numeric; ++part) {
        while (part > 0 && i < t.size() && t[i] == QLatin1Char(' ')) {
            ++i;
        }
        const qsizetype start = i;
        while (i < t.size() && t[i].unicode() >= u'0' && t[i].unicode() <= u'9') {
            // Refused at the first digit too many, before the number could overflow.
            if (i - start == widths[part]) {
                return {};
            }
            parts[part] = parts[part] * 10 + (t[i].unicode() - u'0');
            ++i;
        }
        numeric = i - start >= shortest[part] && i - start <= widths[part];
        while (i < t.size() && t[i] == QLatin1Char(' ')) {
            ++i;
        }
        if (numeric && part < 2) {
            numeric =
                i < t.size() && (t[i] == QLatin1Char('/') || t[i] == QLatin1Char('-') || t[i] == QLatin1Char('.'));
            ++i;
        }
    }
    if (numeric && i == t.size()) {
        return QDate(parts[0], parts[1], parts[2]);
    }
    // The short date form of the system, as a text written on another machine may carry it. A
    // two-digit year is taken to lie between 1930 and 2029.
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(t.toString(), format);
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.year() < 1930) {
        date = date.addYears(100);
    }
    return date;
}

} // namespace SequenceParser
