#pragma once

#include "ErrorInfo.h"

#include <QString>
#include <QVariantList>

// One error report as the error box receives it.
struct ErrorBoxReport {
    QString procedure;
    ErrorInfo error;
    // The logged report: date and time, procedure, "ErrorNo.n : text" and any extra text.
    QString report;
    // The translated question under it (OK goes on, Cancel ends the program).
    QString question;
    // When the log was not written because its name leads to a library: the translation key of
    // that refusal and its arguments (the log's name and the file it leads to).
    int logRefusalKey = 0;
    QVariantList logRefusalArguments;

    QString prompt() const { return report + QStringLiteral("\r\n\r\n") + question; }
};

// The box that shows an error report and asks whether to go on. The program shows a message
// box; the command-line tool prints; tests record.
class IErrorBox {
public:
    virtual ~IErrorBox() = default;
    // True for OK (go on), false for Cancel (the process ends at once).
    virtual bool askContinue(const ErrorBoxReport& report) = 0;
};
