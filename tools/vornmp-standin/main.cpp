// A stand-in for the Vorn Music Player on the session bus. It owns org.vorn.MusicPlayer, writes
// every command it receives to standard output ("Command 0x8008"), answers StatusText, and takes
// orders on standard input, one a line:
//   status <text>   the status text it serves from now on
//   push <record>   sends the track-information record to every running VornReader ("\t": tab)
//   hang <ms>       stops answering for that long, as a hung player would ("hanging", "awake")
//   quit            ends it (so does the end of a piped or typed standard input)
// It writes "ready" once it owns its name.

#include "StdinLines.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QThread>

namespace {

const QString kCopyPrefix = QStringLiteral("org.vorn.VornReader.p");

} // namespace

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vorn.MusicPlayer")

public:
    PlayerAdaptor(QObject* owner, const QString& status) : QDBusAbstractAdaptor(owner), m_status(status) {}

    void setStatus(const QString& status) { m_status = status; }

public Q_SLOTS:
    void Command(int code) { StdinLines::say(QStringLiteral("Command 0x%1").arg(code, 4, 16, QLatin1Char('0'))); }
    QString StatusText() { return m_status; }

private:
    QString m_status;
};

namespace {

int pushTrackInfo(QDBusConnection& bus, const QString& record) {
    int sent = 0;
    for (const QString& name : bus.interface()->registeredServiceNames().value()) {
        if (name.startsWith(kCopyPrefix)) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                name, QStringLiteral("/"), QStringLiteral("org.vorn.VornReader"), QStringLiteral("TrackInfo"));
            call.setArguments({record});
            bus.send(call);
            ++sent;
        }
    }
    return sent;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in for the Vorn Music Player on the session bus."));
    parser.addHelpOption();
    const QCommandLineOption statusOption(QStringLiteral("status"), QStringLiteral("The first status text."),
                                          QStringLiteral("text"), QStringLiteral("Stand-in Stop"));
    parser.addOption(statusOption);
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    QObject root;
    auto* adaptor = new PlayerAdaptor(&root, parser.value(statusOption));
    if (!bus.registerObject(QStringLiteral("/"), &root, QDBusConnection::ExportAdaptors) ||
        !bus.registerService(QStringLiteral("org.vorn.MusicPlayer"))) {
        StdinLines::say(QStringLiteral("failed: ") + bus.lastError().message());
        return 1;
    }
    StdinLines input;
    QObject::connect(&input, &StdinLines::closed, &app, &QCoreApplication::quit);
    QObject::connect(&input, &StdinLines::line, &app, [&](const QString& line) {
        const QString order = line.section(QLatin1Char(' '), 0, 0);
        const QString argument = line.section(QLatin1Char(' '), 1);
        if (order == QLatin1String("status")) {
            adaptor->setStatus(argument);
            StdinLines::say(QStringLiteral("status set"));
        } else if (order == QLatin1String("push")) {
            StdinLines::say(QStringLiteral("pushed %1").arg(pushTrackInfo(bus, argument)));
        } else if (order == QLatin1String("hang")) {
            StdinLines::say(QStringLiteral("hanging"));
            QThread::msleep(argument.toULong());
            StdinLines::say(QStringLiteral("awake"));
        } else if (order == QLatin1String("quit")) {
            app.quit();
        }
    });
    StdinLines::say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}

#include "main.moc"
