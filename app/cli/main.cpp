#include "CliCommands.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VornReader"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return CliCommands::run(arguments);
}
