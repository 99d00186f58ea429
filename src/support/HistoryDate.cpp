#include "HistoryDate.h"

#include <QLocale>

namespace HistoryDate {

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

} // namespace HistoryDate
