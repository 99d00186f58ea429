#include "ErrorMessageBox.h"
#include "HomeSeeder.h"
#include "Platform.h"
#include "frmVornReader.h"
#include "modSystem.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    Platform::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VornReader"));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));
    // The desktop entry's name, so that a desktop matches the window to the entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("vornreader"));
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/vornreader.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    ErrorMessageBox errorBox;
    modSystem::setErrorBox(&errorBox);
    HomeSeeder::SeedApplicationHome();

    QStringList words = QApplication::arguments();
    words.removeFirst();
    frmVornReader window(frmVornReader::iniFileFromArguments(words));
    window.show();
    const int status = QApplication::exec();
    modSystem::setErrorBox(nullptr);
    return status;
}
