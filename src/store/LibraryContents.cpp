#include "LibraryContents.h"

#include "Database.h"

namespace LibraryContents {

QStringList levels(Database& db) {
    Statement levels = db.prepare(QStringLiteral("SELECT DISTINCT tblSequence.Level FROM tblSequence"));
    QStringList result;
    while (levels.step()) {
        result.append(levels.text(0));
    }
    return result;
}

QList<qint64> states(Database& db) {
    Statement states = db.prepare(QStringLiteral("SELECT DISTINCT tblSequence.Property FROM tblSequence"));
    QList<qint64> result;
    while (states.step()) {
        if (!states.isNull(0)) {
            result.append(states.int64(0));
        }
    }
    return result;
}

} // namespace LibraryContents
