#pragma once

#include <QStringList>

// The command line's options and operands: options are recognised anywhere before "--"; every
// word after it is an operand, even one that starts with "-".
namespace CliOptions {

// The position of the option among the words before "--"; -1 when it is not there.
qsizetype find(const QStringList& arguments, const QString& name);

// The number of words before "--" (all of them without it): the words options are looked for in.
qsizetype optionsEnd(const QStringList& arguments);

// The words with the "--" that ends the options taken out.
QStringList operands(QStringList arguments);

} // namespace CliOptions
