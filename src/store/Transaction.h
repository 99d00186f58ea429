#pragma once

#include <QString>

class Database;

// BEGIN on construction; rolled back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database& db, bool immediate = true);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();

private:
    Database& m_db;
    bool m_open = true;
};

// A named savepoint inside a transaction; rolled back to (and released) unless released.
class Savepoint {
public:
    Savepoint(Database& db, const QString& name);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void release();
    void rollback();

private:
    Database& m_db;
    QString m_name;
    bool m_open = true;
};
