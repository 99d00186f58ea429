#pragma once

#include "ErrorInfo.h"

#include <QString>
#include <stdexcept>

// A failure with a number and the words of whoever reported it (the library engine, a file
// writer), as the error log records it. Code that must not know the engine catches this.
class CodedError : public std::runtime_error {
public:
    CodedError(int code, const QString& message)
        : std::runtime_error(message.toStdString()), m_code(code), m_message(message) {}

    int code() const { return m_code; }
    const QString& message() const { return m_message; }
    ErrorInfo info() const { return {m_code, m_message}; }

private:
    int m_code;
    QString m_message;
};
