#pragma once

#include <QString>

class DbError;

// What a file named as a library turns out to be, found before the library's life touches it.
namespace LibraryFile {

enum class Status {
    Ok,
    Missing,
    NotLibrary,   // not a database, or a database without the library tables
    InUse,        // another program holds it locked
    NoPermission, // it cannot be read
};

struct Check {
    Status status = Status::Ok;
    // For a refusal: the engine's or the system's own words.
    QString detail;
    // It can be read but not written (the file or its folder).
    bool readOnly = false;
    // It has every field and table of the current layout (an older one is upgraded on opening).
    bool current = true;
};

// Looks at the file without writing to it: it must be an SQLite database holding tblSequence and
// tblCall.
Check inspect(const QString& path);

// The absolute, cleaned form of a path; a name without a folder is in the current folder.
QString absolutePath(const QString& path);

// The status a failed open or read of a library stands for.
Status statusOf(const DbError& error);

} // namespace LibraryFile
