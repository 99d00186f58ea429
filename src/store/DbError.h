#pragma once

#include "ErrorInfo.h"

#include <QString>
#include <stdexcept>

// A failed SQLite call: its (extended) result code and message.
class DbError : public std::runtime_error {
public:
    DbError(int code, const QString& message)
        : std::runtime_error(message.toStdString()), m_code(code), m_message(message) {}

    int code() const { return m_code; }
    // The primary result code (SQLITE_BUSY, SQLITE_NOTADB, ...).
    int primaryCode() const { return m_code & 0xFF; }
    const QString& message() const { return m_message; }
    ErrorInfo info() const { return {m_code, m_message}; }

private:
    int m_code;
    QString m_message;
};
