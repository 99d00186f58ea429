// Another running copy's link, in a process of its own on the test's bus. It writes "ready <its bus
// name>" once it owns its name and "Command 0x<8 hex digits>" for each command it receives; the
// order "switch" sends the tip-timer switch to the other copies ("sent").

#include "StdinLines.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"

#include <QCoreApplication>
#include <QDBusConnection>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    VornMPLink link(QDBusConnection::sessionBus());
    if (link.ownName().isEmpty()) {
        StdinLines::say(QStringLiteral("failed"));
        return 1;
    }
    QObject::connect(&link, &VornMPLink::commandReceived, [](quint32 command) {
        StdinLines::say(QStringLiteral("Command 0x%1").arg(command, 8, 16, QLatin1Char('0')));
    });
    StdinLines input;
    QObject::connect(&input, &StdinLines::closed, &app, &QCoreApplication::quit);
    QObject::connect(&input, &StdinLines::line, [&link](const QString& line) {
        if (line == QLatin1String("switch")) {
            link.SendVornReader(VornMP::TipTimerSwitch);
            StdinLines::say(QStringLiteral("sent"));
        }
    });
    StdinLines::say(QStringLiteral("ready ") + link.ownName());
    return QCoreApplication::exec();
}
