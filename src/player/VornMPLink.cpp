#include "VornMPLink.h"

#include "BusNameWatch.h"
#include "MprisClient.h"
#include "SteadyClock.h"
#include "VornMPCommands.h"
#include "VornReaderAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kPlayerService = QLatin1String(VornMP::PlayerService);
const QString kCopyPrefix = QLatin1String(VornMP::CopyServicePrefix);
const QString kMprisPrefix = QLatin1String(VornMP::MprisServicePrefix);

QDBusMessage playerCall(const QString& method) {
    return QDBusMessage::createMethodCall(kPlayerService, QStringLiteral("/"), QLatin1String(VornMP::PlayerInterface),
                                          method);
}

} // namespace

VornMPLink::VornMPLink(const QDBusConnection& bus, const IMonotonicClock* clock, QObject* parent)
    : QObject(parent), m_bus(bus) {
    if (!clock) {
        m_ownClock = std::make_unique<SteadyClock>();
        clock = m_ownClock.get();
    }
    m_mpris = new MprisClient(m_bus, *clock, this);
    // The MPRIS player's own signals refresh the labels at once; the status tick moves the position.
    connect(m_mpris, &MprisClient::changed, this, [this] {
        if (m_mpris->isActive()) {
            Q_EMIT statusRead(true, m_mpris->stateText());
            Q_EMIT trackInfoReceived(m_mpris->labels());
        }
    });
    if (!m_bus.isConnected()) {
        return;
    }
    new VornReaderAdaptor(this);
    const QString name = kCopyPrefix + QString::number(QCoreApplication::applicationPid());
    if (m_bus.registerObject(QStringLiteral("/"), this, QDBusConnection::ExportAdaptors)) {
        if (m_bus.registerService(name)) {
            m_ownName = name;
        } else {
            m_bus.unregisterObject(QStringLiteral("/"));
        }
    }
    m_names = new BusNameWatch(m_bus, {kPlayerService, kMprisPrefix}, this);
    connect(m_names, &BusNameWatch::changed, this, &VornMPLink::choosePlayers);
}

VornMPLink::~VornMPLink() {
    if (!m_ownName.isEmpty()) {
        m_bus.unregisterService(m_ownName);
        m_bus.unregisterObject(QStringLiteral("/"));
    }
}

bool VornMPLink::playerPresent() const {
    return m_names && m_names->contains(kPlayerService);
}

QString VornMPLink::mprisService() const {
    return m_mpris->service();
}

void VornMPLink::choosePlayers() {
    // The MPRIS player is followed only while the companion is absent; the first by name is taken.
    const QStringList mpris = m_names->names(kMprisPrefix);
    m_mpris->setService(playerPresent() || mpris.isEmpty() ? QString() : mpris.front());
}

void VornMPLink::SendVornMP(quint32 command) {
    if (playerPresent()) {
        QDBusMessage message = playerCall(QStringLiteral("Command"));
        message.setArguments({int(command & 0xFFFF)});
        m_bus.send(message);
    } else {
        m_mpris->command(command);
    }
}

void VornMPLink::SendVornReader(quint32 command) {
    if (!m_bus.isConnected()) {
        return;
    }
    // The copies are looked up when needed, so that one started a moment ago is reached too.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.interface()->asyncCall(QStringLiteral("ListNames")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, command](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        call->deleteLater();
        if (!reply.isValid()) {
            return;
        }
        for (const QString& name : reply.value()) {
            if (name.startsWith(kCopyPrefix) && name != m_ownName) {
                QDBusMessage message = QDBusMessage::createMethodCall(
                    name, QStringLiteral("/"), QLatin1String(VornMP::CopyInterface), QStringLiteral("Command"));
                message.setArguments({uint(command)});
                m_bus.send(message);
            }
        }
    });
}

void VornMPLink::GetVornMPStatus() {
    if (m_statusCall) {
        return;
    }
    if (!playerPresent()) {
        if (m_mpris->isActive()) {
            Q_EMIT statusRead(true, m_mpris->stateText());
            Q_EMIT trackInfoReceived(m_mpris->labels());
        } else {
            Q_EMIT statusRead(false, QString());
        }
        return;
    }
    m_statusCall =
        new QDBusPendingCallWatcher(m_bus.asyncCall(playerCall(QStringLiteral("StatusText")), StatusTimeoutMs), this);
    connect(m_statusCall, &QDBusPendingCallWatcher::finished, this, &VornMPLink::statusAnswered);
}

void VornMPLink::statusAnswered(QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<QString> reply = *call;
    m_statusCall = nullptr;
    call->deleteLater();
    if (reply.isValid()) {
        Q_EMIT statusRead(true, reply.value().trimmed());
    } else {
        Q_EMIT statusRead(false, QString());
    }
}

void VornMPLink::receiveTrackInfo(const QString& record) {
    if (const std::optional<TrackInfoLabels> labels = TrackInfoRecord::parse(record)) {
        Q_EMIT trackInfoReceived(*labels);
    }
}

void VornMPLink::receiveCommand(quint32 command) {
    Q_EMIT commandReceived(command);
}
