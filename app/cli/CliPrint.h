#pragma once

#include <QStringList>
#include <functional>

class Database;

// vornreader-cli print and xlsx: the print layout of sequences written to a PDF file, and the
// spreadsheet layout written to an .xlsx file.
namespace CliPrint {

// Opens the library for the time work runs and returns work's exit status.
using WithLibrary = std::function<int(const QString& library, const std::function<int(Database&)>& work)>;

// True when the command line is a print command, which lays text out with the system's fonts and
// so needs a (windowless) GUI application.
bool needsGui(const QStringList& arguments);

// print LIBRARY SEQUENCE... --pdf FILE [--paper NAME] [--landscape] [--margins MM]
int commandPrint(QStringList arguments, const WithLibrary& withLibrary);

// xlsx LIBRARY SEQUENCE... FILE
int commandXlsx(const QStringList& arguments, const WithLibrary& withLibrary);

} // namespace CliPrint
