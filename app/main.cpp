#include "ErrorMessageBox.h"
#include "HomeSeeder.h"
#include "LibraryFile.h"
#include "OutputFile.h"
#include "Platform.h"
#include "VornVersion.h"
#include "frmVornReader.h"
#include "modSystem.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    Platform::ignoreFileSizeSignal();
    OutputFile::setLibraryCheck(LibraryFile::holdsLibrary);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VornReader"));
    QApplication::setApplicationVersion(QLatin1String(kVornVersion));
    // The desktop entry's name, so that a desktop matches the window to the entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.vorn.VornReader"));
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
