#pragma once

#include <QString>
#include <QVariant>

class Database;

namespace Fixtures {

// A file of tests/data.
QString dataFile(const QString& name);

// A new empty library in folder, opened in db.
void createLibrary(Database& db, const QString& folder, const QString& name = QStringLiteral("library.mdb"));

// The first column of the first row of a statement with bound values.
QVariant value(Database& db, const QString& sql, const QVariantList& values = {});

// Generator text: count sequences of callsPerSequence calls, a diagram on every other call, a
// comment and a history line per sequence; times start at startSecond.
QString generatorText(int count, int callsPerSequence, const QString& level = QStringLiteral("Plus"),
                      int startSecond = 0);

} // namespace Fixtures
