#pragma once

#include "IErrorBox.h"

#include <QString>

// The error report as a message box: one plain sentence of what went wrong for the caller, the
// report for the developers under it, and the question; OK goes on, Cancel ends the program.
class ErrorMessageBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport& report) override;

    // The sentence, and the details that follow it (a log refusal, the report and the question).
    static QString sentence(const ErrorBoxReport& report);
    static QString details(const ErrorBoxReport& report);
};
