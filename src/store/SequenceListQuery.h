#pragma once

#include <QString>
#include <optional>

class Database;
class Statement;

// The sequence list's query: Title, Date, Time, Property, OrderNo, Sequence (and Level) of the
// view level ("AllLevel" for every level), in the order of the SequenceSort setting: 1 by stored
// order, 2 by state, anything else by date and time.
namespace SequenceListQuery {

inline const QString AllLevel = QStringLiteral("AllLevel");

// Leaves out every sequence with a history entry dated since (a date as history dates are
// stored, "yyyy-MM-dd") or later: for one party, or for any party when party is nothing.
struct NotCalledFor {
    std::optional<QString> party;
    QString since;
};

Statement prepare(Database& db, const QString& viewLevel, int sequenceSort,
                  const std::optional<NotCalledFor>& notCalledFor = std::nullopt);

} // namespace SequenceListQuery
