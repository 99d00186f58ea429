#pragma once

#include <QString>

class Database;
class Statement;

// The sequence list's query: Title, Date, Time, Property, OrderNo, Sequence (and Level) of the
// view level ("AllLevel" for every level), in the order of the SequenceSort setting: 1 by stored
// order, 2 by state, anything else by date and time.
namespace SequenceListQuery {

inline const QString AllLevel = QStringLiteral("AllLevel");

Statement prepare(Database& db, const QString& viewLevel, int sequenceSort);

} // namespace SequenceListQuery
