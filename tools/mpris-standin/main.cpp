// A stand-in for a desktop media player with the MPRIS interface on the session bus. It owns
// org.mpris.MediaPlayer2.<name>, writes every call it receives to standard output ("PlayPause",
// "SetPosition <track> <µs>", "LoopStatus Track", ...), keeps a playback status and a position that
// moves while it plays, and signals its changes with PropertiesChanged. Orders on standard input:
//   title <text>    a new track with that title
//   quit            ends it (so does the end of a piped or typed standard input)
// It writes "ready" once it owns its name.

#include "StdinLines.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");

} // namespace

// The player's state, shared by its two interfaces.
class StandinPlayer : public QObject {
    Q_OBJECT

public:
    QString identity;
    QString status = QStringLiteral("Stopped");
    QString loop = QStringLiteral("None");
    QString title;
    qlonglong length = 0;
    int track = 1;

    QString trackId() const { return QStringLiteral("/org/vorn/standin/track/%1").arg(track); }
    QVariantMap metadata() const {
        return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId()))},
                {QStringLiteral("mpris:length"), length},
                {QStringLiteral("xesam:title"), title}};
    }
    qlonglong position() const {
        return m_base + (status == QLatin1String("Playing") ? m_clock.nsecsElapsed() / 1000 : 0);
    }
    void setPosition(qlonglong position) {
        m_base = position;
        m_clock.restart();
    }
    void setStatus(const QString& value) {
        setPosition(position());
        status = value;
        changed(QStringLiteral("PlaybackStatus"), status);
    }
    // PropertiesChanged of the player interface for one property.
    void changed(const QString& property, const QVariant& value) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal.setArguments(
            {QStringLiteral("org.mpris.MediaPlayer2.Player"), QVariantMap{{property, value}}, QStringList()});
        QDBusConnection::sessionBus().send(signal);
    }

private:
    qlonglong m_base = 0;
    QElapsedTimer m_clock;
};

class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supported)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supported)

public:
    explicit RootAdaptor(StandinPlayer* player) : QDBusAbstractAdaptor(player), m_player(player) {}

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return m_player->identity; }
    QStringList supported() const { return {}; }

public Q_SLOTS:
    void Raise() { StdinLines::say(QStringLiteral("Raise")); }
    void Quit() {
        StdinLines::say(QStringLiteral("Quit"));
        QCoreApplication::quit();
    }

private:
    StandinPlayer* m_player;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ one WRITE ignore)
    Q_PROPERTY(bool Shuffle READ no WRITE ignoreShuffle)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ one WRITE ignore)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ one)
    Q_PROPERTY(double MaximumRate READ one)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ yes)
    Q_PROPERTY(bool CanControl READ yes)

public:
    explicit PlayerAdaptor(StandinPlayer* player) : QDBusAbstractAdaptor(player), m_player(player) {}

    QString playbackStatus() const { return m_player->status; }
    QString loopStatus() const { return m_player->loop; }
    void setLoopStatus(const QString& value) {
        StdinLines::say(QStringLiteral("LoopStatus ") + value);
        m_player->loop = value;
        m_player->changed(QStringLiteral("LoopStatus"), value);
    }
    QVariantMap metadata() const { return m_player->metadata(); }
    qlonglong position() const { return m_player->position(); }
    double one() const { return 1.0; }
    void ignore(double) {}
    void ignoreShuffle(bool) {}
    bool no() const { return false; }
    bool yes() const { return true; }

public Q_SLOTS:
    void Next() { StdinLines::say(QStringLiteral("Next")); }
    void Previous() { StdinLines::say(QStringLiteral("Previous")); }
    void Pause() {
        StdinLines::say(QStringLiteral("Pause"));
        m_player->setStatus(QStringLiteral("Paused"));
    }
    void Play() {
        StdinLines::say(QStringLiteral("Play"));
        m_player->setStatus(QStringLiteral("Playing"));
    }
    void PlayPause() {
        StdinLines::say(QStringLiteral("PlayPause"));
        m_player->setStatus(m_player->status == QLatin1String("Playing") ? QStringLiteral("Paused")
                                                                         : QStringLiteral("Playing"));
    }
    void Stop() {
        StdinLines::say(QStringLiteral("Stop"));
        m_player->setStatus(QStringLiteral("Stopped"));
        m_player->setPosition(0);
    }
    void Seek(qlonglong offset) {
        StdinLines::say(QStringLiteral("Seek %1").arg(offset));
        m_player->setPosition(qMax<qlonglong>(0, m_player->position() + offset));
        Q_EMIT Seeked(m_player->position());
    }
    void SetPosition(const QDBusObjectPath& track, qlonglong position) {
        StdinLines::say(QStringLiteral("SetPosition %1 %2").arg(track.path()).arg(position));
        if (track.path() == m_player->trackId() && position >= 0 && position <= m_player->length) {
            m_player->setPosition(position);
            Q_EMIT Seeked(position);
        }
    }
    void OpenUri(const QString& uri) { StdinLines::say(QStringLiteral("OpenUri ") + uri); }

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    StandinPlayer* m_player;
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in for an MPRIS media player on the session bus."));
    parser.addHelpOption();
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("The bus name's last part."),
                                        QStringLiteral("name"), QStringLiteral("standin"));
    const QCommandLineOption identityOption(QStringLiteral("identity"), QStringLiteral("The player's identity."),
                                            QStringLiteral("text"), QStringLiteral("MPRIS Stand-in"));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("The track's title."),
                                         QStringLiteral("text"), QStringLiteral("Stand-in Song"));
    const QCommandLineOption lengthOption(QStringLiteral("length"), QStringLiteral("The track's length in seconds."),
                                          QStringLiteral("seconds"), QStringLiteral("200"));
    parser.addOptions({nameOption, identityOption, titleOption, lengthOption});
    parser.process(app);

    StandinPlayer player;
    player.identity = parser.value(identityOption);
    player.title = parser.value(titleOption);
    player.length = parser.value(lengthOption).toLongLong() * 1000000;
    player.setPosition(0);
    new RootAdaptor(&player);
    new PlayerAdaptor(&player);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(kPath, &player, QDBusConnection::ExportAdaptors) ||
        !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + parser.value(nameOption))) {
        StdinLines::say(QStringLiteral("failed: ") + bus.lastError().message());
        return 1;
    }
    StdinLines input;
    QObject::connect(&input, &StdinLines::closed, &app, &QCoreApplication::quit);
    QObject::connect(&input, &StdinLines::line, &app, [&](const QString& line) {
        const QString order = line.section(QLatin1Char(' '), 0, 0);
        if (order == QLatin1String("title")) {
            player.title = line.section(QLatin1Char(' '), 1);
            player.track += 1;
            player.setPosition(0);
            player.changed(QStringLiteral("Metadata"), player.metadata());
            StdinLines::say(QStringLiteral("title set"));
        } else if (order == QLatin1String("quit")) {
            app.quit();
        }
    });
    StdinLines::say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}

#include "main.moc"
