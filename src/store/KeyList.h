#pragma once

#include <QList>
#include <QString>

// Any number of row keys as one bound value: a JSON array that a statement opens with
// "IN (SELECT value FROM json_each(?))", so the keys are never spliced into the SQL text.
namespace KeyList {

inline const QString InKeys = QStringLiteral("(SELECT value FROM json_each(?))");

inline QString json(const QList<qint64>& keys) {
    QString text = QStringLiteral("[");
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char(',');
        }
        text += QString::number(keys[i]);
    }
    return text + QLatin1Char(']');
}

} // namespace KeyList
