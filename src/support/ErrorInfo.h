#pragma once

#include <QString>

// The error an error trap caught: its number (an SQLite result code, an errno, or one of the
// program's own numbers below) and its description.
struct ErrorInfo {
    int number = 0;
    QString description;
};

// The program's own error numbers, for failures that come from no engine or system call.
namespace VornError {
constexpr int FileNotFound = 53;
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int PathAccess = 75;
constexpr int Unexpected = 5;
} // namespace VornError
