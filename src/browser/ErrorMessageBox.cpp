#include "ErrorMessageBox.h"

#include "modGeneral.h"

#include <QApplication>
#include <QMessageBox>

QString ErrorMessageBox::sentence(const ErrorBoxReport& report) {
    return modGeneral::ErrorSentence(report.procedure, report.error.number);
}

QString ErrorMessageBox::details(const ErrorBoxReport& report) {
    QString text = modGeneral::LoadTransString(40418, QStringLiteral("Details for the developers:")) +
                   QStringLiteral("\n") + report.prompt();
    // A log that was not written because its name leads to a library says so first.
    if (report.logRefusalKey != 0) {
        text =
            modGeneral::TransMessage(report.logRefusalKey, report.logRefusalArguments) + QStringLiteral("\n\n") + text;
    }
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool ErrorMessageBox::askContinue(const ErrorBoxReport& report) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VornReader"), sentence(report),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("frmErrorBox"));
    box.setInformativeText(details(report));
    return box.exec() == QMessageBox::Ok;
}
