#include "CliCommands.h"
#include "CliPrint.h"
#include "LibraryFile.h"
#include "OutputFile.h"
#include "Platform.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

// The tool writes only its own lines: notes of Qt's own (a missing runtime folder, fonts) are not
// the user's business. A fatal one, after which Qt ends the program, is still said.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(message));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    Platform::ignoreFileSizeSignal();
    OutputFile::setLibraryCheck(LibraryFile::holdsLibrary);
    qInstallMessageHandler(quietQtMessages);
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
