#include "HomeSeeder.h"
#include "IErrorBox.h"
#include "frmVornReader.h"
#include "modSystem.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

namespace {

// The error report as a message box: OK goes on, Cancel ends the program.
class MessageErrorBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport& report) override {
        QString text = report.prompt();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("VornReader"), text,
                                    QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    }
};

} // namespace

int main(int argc, char* argv[]) {
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
    MessageErrorBox errorBox;
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
