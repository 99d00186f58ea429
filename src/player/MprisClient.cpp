#include "MprisClient.h"

#include "IMonotonicClock.h"
#include "VornMPCommands.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A dictionary that arrives inside a variant: demarshalled later when it came as a bus argument.
QVariantMap asMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) {
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    }
    return value.toMap();
}

QVariant plain(const QVariant& value) {
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// Microseconds as minutes and seconds, at least two digits each.
QString minutesSeconds(qint64 microseconds) {
    const qint64 seconds = qMax<qint64>(0, microseconds / 1000000);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

MprisClient::MprisClient(const QDBusConnection& bus, const IMonotonicClock& clock, QObject* parent)
    : QObject(parent), m_bus(bus), m_clock(clock) {}

void MprisClient::setService(const QString& service) {
    if (service == m_service) {
        return;
    }
    subscribe(false);
    m_service = service;
    m_identity.clear();
    m_status.clear();
    m_loop.clear();
    m_title.clear();
    m_trackId.clear();
    m_length = -1;
    m_position = 0;
    m_positionAt = m_clock.milliseconds();
    m_rate = 1.0;
    if (!m_service.isEmpty()) {
        subscribe(true);
        readAll(kRoot);
        readAll(kPlayer);
    }
    Q_EMIT changed();
}

void MprisClient::subscribe(bool on) {
    if (m_service.isEmpty()) {
        return;
    }
    const char* changedSlot = SLOT(PropertiesChanged(QString, QVariantMap, QStringList));
    const char* seekedSlot = SLOT(Seeked(qlonglong));
    if (on) {
        m_bus.connect(m_service, kPath, kProperties, QStringLiteral("PropertiesChanged"), this, changedSlot);
        m_bus.connect(m_service, kPath, kPlayer, QStringLiteral("Seeked"), this, seekedSlot);
    } else {
        m_bus.disconnect(m_service, kPath, kProperties, QStringLiteral("PropertiesChanged"), this, changedSlot);
        m_bus.disconnect(m_service, kPath, kPlayer, QStringLiteral("Seeked"), this, seekedSlot);
    }
}

void MprisClient::readAll(const QString& interface) {
    QDBusMessage get = QDBusMessage::createMethodCall(m_service, kPath, kProperties, QStringLiteral("GetAll"));
    get.setArguments({interface});
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, service = m_service](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QVariantMap> reply = *call;
                if (service == m_service && reply.isValid()) {
                    apply(reply.value());
                }
                call->deleteLater();
            });
}

void MprisClient::readPosition() {
    QDBusMessage get = QDBusMessage::createMethodCall(m_service, kPath, kProperties, QStringLiteral("Get"));
    get.setArguments({kPlayer, QStringLiteral("Position")});
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, service = m_service](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (service == m_service && reply.isValid()) {
                    apply({{QStringLiteral("Position"), reply.value().variant()}});
                }
                call->deleteLater();
            });
}

void MprisClient::apply(const QVariantMap& properties) {
    const qint64 now = m_clock.milliseconds();
    // The position reached so far, kept before the rate or the status changes.
    m_position = position();
    m_positionAt = now;
    bool positionStale = false;
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        const QVariant value = plain(it.value());
        if (it.key() == QLatin1String("Identity")) {
            m_identity = value.toString();
        } else if (it.key() == QLatin1String("PlaybackStatus")) {
            m_status = value.toString();
            positionStale = !properties.contains(QStringLiteral("Position"));
        } else if (it.key() == QLatin1String("LoopStatus")) {
            m_loop = value.toString();
        } else if (it.key() == QLatin1String("Rate")) {
            m_rate = value.toDouble();
        } else if (it.key() == QLatin1String("Position")) {
            m_position = value.toLongLong();
        } else if (it.key() == QLatin1String("Metadata")) {
            const QVariantMap metadata = asMap(value);
            const QVariant trackId = plain(metadata.value(QStringLiteral("mpris:trackid")));
            m_trackId =
                trackId.canConvert<QDBusObjectPath>() ? trackId.value<QDBusObjectPath>().path() : trackId.toString();
            const QVariant length = plain(metadata.value(QStringLiteral("mpris:length")));
            m_length = length.isValid() ? length.toLongLong() : -1;
            m_title = plain(metadata.value(QStringLiteral("xesam:title"))).toString();
            if (m_title.isEmpty()) {
                const QUrl url(plain(metadata.value(QStringLiteral("xesam:url"))).toString());
                m_title = QFileInfo(url.path()).fileName();
            }
            positionStale = !properties.contains(QStringLiteral("Position"));
        }
    }
    // Position is not signalled as it moves: read it again when the playback or the track changed.
    if (positionStale) {
        readPosition();
    }
    Q_EMIT changed();
}

void MprisClient::PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface == kRoot || interface == kPlayer) {
        apply(changed);
    }
}

void MprisClient::Seeked(qlonglong position) {
    apply({{QStringLiteral("Position"), position}});
}

qint64 MprisClient::position() const {
    qint64 at = m_position;
    if (m_status == QLatin1String("Playing")) {
        at += static_cast<qint64>(double(m_clock.milliseconds() - m_positionAt) * 1000.0 * m_rate);
    }
    if (m_length > 0) {
        at = qMin(at, m_length);
    }
    return qMax<qint64>(at, 0);
}

void MprisClient::call(const QString& interface, const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, kPath, interface, method);
    message.setArguments(arguments);
    m_bus.send(message);
}

void MprisClient::command(quint32 code) {
    if (m_service.isEmpty()) {
        return;
    }
    switch (code) {
    case VornMP::Play:
        call(kPlayer, QStringLiteral("PlayPause"));
        break;
    case VornMP::Rewind:
        if (m_trackId.startsWith(QLatin1Char('/')) && !m_trackId.endsWith(QLatin1String("/NoTrack"))) {
            call(kPlayer, QStringLiteral("SetPosition"),
                 {QVariant::fromValue(QDBusObjectPath(m_trackId)), qlonglong(0)});
        } else {
            // Without a track id SetPosition is ignored; a seek back by more than the position ends at 0.
            call(kPlayer, QStringLiteral("Seek"), {qlonglong(-position() - 1000000)});
        }
        break;
    case VornMP::Reset:
    case VornMP::UnLoad:
        call(kPlayer, QStringLiteral("Stop"));
        break;
    case VornMP::Repeat:
        m_loop = m_loop == QLatin1String("Track") ? QStringLiteral("None") : QStringLiteral("Track");
        call(kProperties, QStringLiteral("Set"),
             {kPlayer, QStringLiteral("LoopStatus"), QVariant::fromValue(QDBusVariant(m_loop))});
        break;
    case VornMP::Load:
        call(kRoot, QStringLiteral("Raise"));
        break;
    default:
        break;
    }
}

QString MprisClient::stateText() const {
    const QString identity =
        m_identity.isEmpty() ? m_service.mid(qsizetype(sizeof(VornMP::MprisServicePrefix) - 1)) : m_identity;
    return m_status.isEmpty() ? identity : identity + QStringLiteral(": ") + m_status;
}

TrackInfoLabels MprisClient::labels() const {
    const qint64 at = position();
    TrackInfoLabels labels;
    labels[0] = minutesSeconds(at);
    labels[1] = m_length >= 0 ? minutesSeconds(m_length) : QString();
    // Whole seconds taken first, so that the position and the time left add up to the length.
    labels[2] = m_length >= 0 ? minutesSeconds((m_length / 1000000 - at / 1000000) * 1000000) : QString();
    labels[3] = m_loop.isEmpty() || m_loop == QLatin1String("None") ? QString() : QStringLiteral("rep");
    labels[4] = m_title;
    return labels;
}
