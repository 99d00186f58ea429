#pragma once

#include <QString>
#include <optional>

// What the export needs from around it: its messages and its one question, the schema upgrade's
// author question, and a sign while the move runs. The window answers with dialogs, the
// command-line tool on the terminal, the tests without either.
class IExportHost {
public:
    virtual ~IExportHost() = default;

    // A refusal (exclamation icon).
    virtual void exclamation(const QString& text) = 0;
    // A result (information icon).
    virtual void information(const QString& text) = 0;
    // OK and Cancel with the question icon; true for OK.
    virtual bool question(const QString& text) = 0;
    // Asked when an older library gets its Author field; nothing when cancelled.
    virtual std::optional<QString> askAuthor(const QString& prompt) = 0;
    // The move begins (true) or has ended (false).
    virtual void busy(bool) {}
};
