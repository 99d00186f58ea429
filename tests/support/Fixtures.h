#pragma once

#include "Database.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"

#include <QString>
#include <QVariant>

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

// A fresh application home, a recording error box and an empty library opened in that home; one
// per test (std::optional member, emplaced in init, reset in cleanup).
struct LibraryFixture {
    LibraryFixture() { Fixtures::createLibrary(db, home.path()); }

    TestHome home;
    RecordingErrorBox box;
    Database db;
};
