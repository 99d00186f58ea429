#pragma once

#include <QStringList>

// vornreader-cli: library work from the command line with the program's own code.
namespace CliCommands {

// Runs one command line (without the program name); returns the exit status: 0 success,
// 1 failure (one line on standard error), 2 usage error.
int run(const QStringList& arguments);

} // namespace CliCommands
