#pragma once

#include "Statement.h"

#include <QString>

struct sqlite3;

// The one owning connection to a library file. Rollback journal (a commit that spans an attached
// file stays atomic), a busy timeout, and the InStr function registered for search criteria.
class Database {
public:
    // OpenExisting opens for reading and writing (a file that is not writable is opened for
    // reading only, see isReadOnly); ReadOnly never writes to the file; Create makes a new file.
    enum class Mode { OpenExisting, ReadOnly, Create };

    // How long statements wait for another program's lock by default (milliseconds).
    static constexpr int kBusyTimeout = 2000;

    Database() = default;
    explicit Database(const QString& path, Mode mode = Mode::OpenExisting) { open(path, mode); }
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file; OpenExisting fails on a missing file and on a file that is not a database.
    void open(const QString& path, Mode mode = Mode::OpenExisting);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Runs one statement without parameters (schema, pragmas, transaction control); text holding
    // more than one statement is refused before any of it runs.
    void exec(const QString& sql);
    Statement prepare(const QString& sql);
    // The first column of the first row, or a null value when there is none.
    QVariant scalar(const QString& sql);

    qint64 lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;
    // True when the library cannot be written: the file or its folder (where the rollback journal
    // goes) is not writable, or it was opened ReadOnly.
    bool isReadOnly() const;
    // Milliseconds a statement waits for another program's lock before it fails as busy.
    void setBusyTimeout(int milliseconds);

    // A schema, table or column name as an SQL identifier, whatever characters it holds.
    static QString quotedName(const QString& name);

    // Makes another file's tables reachable as alias.table; the path is a bound parameter.
    void attach(const QString& path, const QString& alias);
    void detach(const QString& alias);

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};
