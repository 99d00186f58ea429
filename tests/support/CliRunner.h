#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs vornreader-cli and other programs for the tests, as a user would from a shell.
namespace Cli {

struct Result {
    int status = -1; // the exit code; -1 when the program crashed or did not finish in time
    QString out;     // on a terminal: everything the terminal showed
    QString err;
};

// The command-line tool of this build.
QString path();

// Runs program with arguments, input on standard input, in folder (the current one when empty)
// and with environment (the test's own when empty).
Result run(const QString& program, const QStringList& arguments, const QByteArray& input = {},
           const QString& folder = {}, const QProcessEnvironment& environment = {});

// Runs the command-line tool.
Result tool(const QStringList& arguments, const QByteArray& input = {}, const QString& folder = {});

// Runs a shell command line either on plain pipes or on a pseudo-terminal (util-linux script),
// in folder.
Result shell(const QString& command, bool terminal, const QString& folder = {},
             const QProcessEnvironment& environment = {});

// The tool's command line quoted for the shell, with a tail such as "< file" or "2> file".
QString command(const QStringList& arguments, const QString& tail = {});

// The command as an ordinary user runs it: root passes every permission check, so root runs it
// as user nobody (setpriv).
QStringList asNobody(const QStringList& command);

} // namespace Cli
