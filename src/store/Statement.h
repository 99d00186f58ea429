#pragma once

#include "DbError.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes out of scope. Values go in only as bound
// parameters (index from 1); failures throw DbError.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const QString& value);
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, int value) { return bind(index, static_cast<qint64>(value)); }
    Statement& bind(int index, double value);
    Statement& bindNull(int index);
    Statement& bind(int index, const QVariant& value);

    // Advances to the next row: true while a row is available, false when done.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    // Ready to run again with new bindings (bindings are cleared).
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    int integer(int column) const { return static_cast<int>(int64(column)); }
    double real(int column) const;
    QString text(int column) const;
    QVariant value(int column) const;

    sqlite3_stmt* handle() const { return m_stmt; }

    // The error of the last failed call on a connection (rc when the connection has none), with an
    // AUTOINCREMENT key that has run out told apart from a full disk.
    static DbError lastError(sqlite3* db, int rc);

private:
    [[noreturn]] void fail(int rc) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    // The UTF-8 form of each bound text, one buffer per parameter, reused from run to run.
    std::vector<QByteArray> m_texts;
};
