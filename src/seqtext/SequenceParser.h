#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The small value rules of the sequence text format.
namespace SequenceParser {

// The number at the start of text (blanks skipped; reading stops at the first character that
// cannot continue a number; no number gives 0), rounded half to even. Nothing when the result
// does not fit 16 bits.
std::optional<qint16> numberOf(const QString& text);

// A calendar date from year, month and day that may lie outside their ranges: month 13 is January
// of the next year, month 0 December of the year before, day 0 the last day of the month before.
QDate dateSerial(int year, int month, int day);

// "Jan" ... "Dec" become "01" ... "12" (exact case); any other token is returned unchanged.
QString monthToken(const QString& token);

// The title of a stored sequence from its comment block.
QString titleFromNote(const QString& note, const QString& date, const QString& time);

} // namespace SequenceParser
