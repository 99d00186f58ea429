#include "CliCommands.h"
#include "CliPrint.h"

#include <QGuiApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words.append(QString::fromLocal8Bit(argv[i]));
    }
    std::unique_ptr<QCoreApplication> app;
    if (CliPrint::needsGui(words)) {
        // Printing lays text out with the system's fonts, which takes Qt's GUI part; no window opens.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("VornReader"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return CliCommands::run(arguments);
}
