#include "SequenceListQuery.h"

#include "Database.h"

namespace SequenceListQuery {

QString notCalledForCondition(const NotCalledFor& notCalledFor) {
    // The heard sequences are gathered once; a history row without a sequence must not make
    // NOT IN unknown for every row.
    return QStringLiteral("tblSequence.Sequence NOT IN (SELECT tblHistory.Sequence FROM tblHistory "
                          "WHERE tblHistory.Sequence IS NOT NULL AND tblHistory.CallDate >= ?") +
           (notCalledFor.party ? QStringLiteral(" AND tblHistory.PartyName = ?) ") : QStringLiteral(") "));
}

int bindNotCalledFor(Statement& statement, int parameter, const NotCalledFor& notCalledFor) {
    statement.bind(parameter++, notCalledFor.since);
    if (notCalledFor.party) {
        statement.bind(parameter++, *notCalledFor.party);
    }
    return parameter;
}

Statement prepare(Database& db, const QString& viewLevel, int sequenceSort,
                  const std::optional<NotCalledFor>& notCalledFor) {
    QString sql = QStringLiteral("SELECT Title, Date, Time, Property, OrderNo, Sequence, Level FROM tblSequence ");
    const bool allLevels = viewLevel == AllLevel;
    QString where = allLevels ? QString() : QStringLiteral("Level = ? ");
    if (notCalledFor) {
        where += (where.isEmpty() ? QString() : QStringLiteral("AND ")) + notCalledForCondition(*notCalledFor);
    }
    if (!where.isEmpty()) {
        sql += QStringLiteral("WHERE ") + where;
    }
    switch (sequenceSort) {
    case 1:
        sql += QStringLiteral("ORDER BY OrderNo ASC, Date ASC, Time ASC");
        break;
    case 2:
        sql += QStringLiteral("ORDER BY Property ASC, Date ASC, Time ASC");
        break;
    default:
        sql += QStringLiteral("ORDER BY Date ASC, Time ASC");
        break;
    }
    Statement statement = db.prepare(sql);
    int parameter = 1;
    if (!allLevels) {
        statement.bind(parameter++, viewLevel);
    }
    if (notCalledFor) {
        bindNotCalledFor(statement, parameter, *notCalledFor);
    }
    return statement;
}

} // namespace SequenceListQuery
