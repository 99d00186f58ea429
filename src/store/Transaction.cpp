#include "Transaction.h"

#include "Database.h"

Transaction::Transaction(Database& db, bool immediate) : m_db(db) {
    m_db.exec(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

Transaction::~Transaction() {
    if (m_open) {
        try {
            rollback();
        } catch (...) {
            // A failed rollback leaves the journal for SQLite to roll back at the next open.
        }
    }
}

void Transaction::commit() {
    m_db.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

void Transaction::rollback() {
    m_open = false;
    if (m_db.inTransaction()) {
        m_db.exec(QStringLiteral("ROLLBACK"));
    }
}

Savepoint::Savepoint(Database& db, const QString& name) : m_db(db), m_name(name) {
    m_db.exec(QStringLiteral("SAVEPOINT ") + m_name);
}

Savepoint::~Savepoint() {
    if (m_open) {
        try {
            rollback();
        } catch (...) {
            // The enclosing transaction's rollback still undoes the work.
        }
    }
}

void Savepoint::release() {
    m_db.exec(QStringLiteral("RELEASE ") + m_name);
    m_open = false;
}

void Savepoint::rollback() {
    m_open = false;
    m_db.exec(QStringLiteral("ROLLBACK TO ") + m_name);
    m_db.exec(QStringLiteral("RELEASE ") + m_name);
}
