#include "CliRunner.h"

#include <QProcess>
#include <unistd.h>

namespace Cli {

QString path() {
    return QStringLiteral(VORN_CLI_PATH);
}

Result run(const QString& program, const QStringList& arguments, const QByteArray& input, const QString& folder,
           const QProcessEnvironment& environment) {
    QProcess process;
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    if (!environment.isEmpty()) {
        process.setProcessEnvironment(environment);
    }
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(60000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Result tool(const QStringList& arguments, const QByteArray& input, const QString& folder) {
    return run(path(), arguments, input, folder);
}

Result shell(const QString& command, bool terminal, const QString& folder, const QProcessEnvironment& environment) {
    return terminal ? run(QStringLiteral("script"), {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")}, {},
                          folder, environment)
                    : run(QStringLiteral("sh"), {QStringLiteral("-c"), command}, {}, folder, environment);
}

QString command(const QStringList& arguments, const QString& tail) {
    QString line;
    for (const QString& word : QStringList{path()} + arguments) {
        line += QStringLiteral(" '") + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + '\'';
    }
    return line.mid(1) + (tail.isEmpty() ? QString() : QLatin1Char(' ') + tail);
}

QStringList asNobody(const QStringList& command) {
    return geteuid() == 0 ? QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")} +
                                command
                          : command;
}

} // namespace Cli
