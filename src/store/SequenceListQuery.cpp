#include "SequenceListQuery.h"

#include "Database.h"

namespace SequenceListQuery {

Statement prepare(Database& db, const QString& viewLevel, int sequenceSort) {
    QString sql = QStringLiteral("SELECT Title, Date, Time, Property, OrderNo, Sequence, Level FROM tblSequence ");
    const bool allLevels = viewLevel == AllLevel;
    if (!allLevels) {
        sql += QStringLiteral("WHERE Level = ? ");
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
    if (!allLevels) {
        statement.bind(1, viewLevel);
    }
    return statement;
}

} // namespace SequenceListQuery
