#pragma once

#include <QString>

// The box that shows an error report and asks whether to go on. The program shows a message
// box; the command-line tool prints; tests record.
class IErrorBox {
public:
    virtual ~IErrorBox() = default;
    // True for OK (go on), false for Cancel (the process ends at once).
    virtual bool askContinue(const QString& title, const QString& prompt) = 0;
};
