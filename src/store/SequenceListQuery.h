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

// The condition on tblSequence.Sequence that leaves out what the filter hides, to be joined with
// AND; bindNotCalledFor binds its values from parameter on and returns the next parameter.
QString notCalledForCondition(const NotCalledFor& notCalledFor);
int bindNotCalledFor(Statement& statement, int parameter, const NotCalledFor& notCalledFor);

Statement prepare(Database& db, const QString& viewLevel, int sequenceSort,
                  const std::optional<NotCalledFor>& notCalledFor = std::nullopt);

} // namespace SequenceListQuery
