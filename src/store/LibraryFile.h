#pragma once

#include <QString>

class Database;
class DbError;

// What a file named as a library turns out to be, found before the library's life touches it.
namespace LibraryFile {

enum class Status {
    Ok,
    Missing,
    NotLibrary,    // not a database, or a database without the library tables
    InUse,         // another program holds it locked
    NoPermission,  // it cannot be read
    NotUpgradable, // an older library whose tables hold fields this version does not know
};

struct Check {
    Status status = Status::Ok;
    // For a refusal: the engine's or the system's own words.
    QString detail;
    // It can be read but not written (the file or its folder).
    bool readOnly = false;
    // It has every field and table of the current layout (an older one is upgraded on opening).
    bool current = true;
    // A program stopped in the middle of a change to it: its journal must be rolled back (by a
    // connection that may write) before it can be read.
    bool halfWritten = false;
};

// Looks at the file without writing to it: it must be an SQLite database holding tblSequence and
// tblCall.
Check inspect(const QString& path);

// The absolute form of a path as the file system resolves it (links followed, ".." taken after
// them); a name without a folder is in the current folder.
QString absolutePath(const QString& path);

// Lets SQLite roll back the journal a program that stopped left beside the file, by opening it
// for writing once. Throws DbError when that fails.
void rollBack(const QString& path);

// Whether another program holds a write lock on the file (a change of its is under way).
bool isWriteLocked(const QString& path);

// PRAGMA quick_check of a schema on the connection: empty when it is sound, otherwise the first
// fault found.
QString damage(Database& db, const QString& schema = QStringLiteral("main"));

// Whether the file is an SQLite database with any of a library's tables. A database whose tables
// cannot be read (damaged, or in the middle of a write) is taken for a library: it may well be one.
// Neither waits for nor disturbs a program that has the file open.
bool holdsLibrary(const QString& path);

// The status a failed open or read of a library stands for.
Status statusOf(const DbError& error);

} // namespace LibraryFile
