#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// vornreader-cli export: File > Export from the command line.
namespace CliExport {

// export SOURCE TARGET [--from DATE] [--to DATE] [--level LEVEL] [--state N] [--yes]
// Without --yes the number found is shown and confirmed on the terminal; without a terminal the
// move is refused. Prints the number moved; returns the exit status (2: a usage error, reported
// in one line).
int commandExport(QStringList arguments, const std::optional<QString>& author);

} // namespace CliExport
