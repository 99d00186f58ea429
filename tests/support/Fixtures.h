#pragma once

#include "Database.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace Fixtures {

// A file of tests/data.
QString dataFile(const QString& name);

// A new empty library in folder, opened in db.
void createLibrary(Database& db, const QString& folder, const QString& name = QStringLiteral("library.mdb"));

// The first column of the first row of a statement with bound values.
QVariant value(Database& db, const QString& sql, const QVariantList& values = {});

// Every row of a statement with bound values, its fields joined by '|'.
QStringList rows(Database& db, const QString& sql, const QVariantList& values = {});

// Every stored value of the four library tables with its type and each row's rowid, one text per
// row: what must come back exactly after undo.
QStringList exactContent(Database& db);

// exactContent of the library at path.
QStringList tables(const QString& path);

// What keeps a library from holding only whole sequences: a failed integrity check, a sequence
// without exactly `calls` calls and `history` history rows, a call or history row whose sequence
// is gone. Empty for a sound library.
QStringList unsound(Database& db, int calls, int history);

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);

// Replaces the file with bytes; false when it cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

// How long work takes in microseconds, at least 1000.
qint64 runMicros(const std::function<void()>& work);

// Runs work in a forked child and kills it at a random moment up to maxMicros after work has
// called ready() (once it has opened what it needs); waits for the child. False when no child
// could be started.
bool killMidway(QRandomGenerator& random, qint64 maxMicros,
                const std::function<void(const std::function<void()>& ready)>& work);

// Leaves the library as a program killed in the middle of a change does: pages of the change
// already in the file, and the journal that undoes them beside it.
void leaveHalfWritten(const QString& path);

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
