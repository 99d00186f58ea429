#pragma once

#include <QDate>
#include <QString>

namespace HistoryDate {

// A history date as typed or written in sequence text: year, month and day ("2002/1/5",
// "2002-01-05", "2002.1.5") or the system's short date form; invalid when it is not a date.
QDate historyDate(const QString& text);

} // namespace HistoryDate
