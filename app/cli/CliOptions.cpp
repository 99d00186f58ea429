#include "CliOptions.h"

namespace CliOptions {

namespace {

const QString kEnd = QStringLiteral("--");

} // namespace

qsizetype optionsEnd(const QStringList& arguments) {
    const qsizetype end = arguments.indexOf(kEnd);
    return end < 0 ? arguments.size() : end;
}

qsizetype find(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at < optionsEnd(arguments) ? at : -1;
}

QStringList operands(QStringList arguments) {
    const qsizetype end = arguments.indexOf(kEnd);
    if (end >= 0) {
        arguments.removeAt(end);
    }
    return arguments;
}

} // namespace CliOptions
