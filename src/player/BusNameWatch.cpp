#include "BusNameWatch.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

BusNameWatch::BusNameWatch(const QDBusConnection& bus, const QStringList& prefixes, QObject* parent)
    : QObject(parent), m_bus(bus), m_prefixes(prefixes) {
    QDBusConnectionInterface* daemon = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!daemon) {
        return;
    }
    // Subscribed before the list is asked for: a name that comes or goes in between is seen either
    // in the list or in a signal after it.
    const QString daemonName = QStringLiteral("org.freedesktop.DBus");
    m_bus.connect(daemonName, QStringLiteral("/org/freedesktop/DBus"), daemonName, QStringLiteral("NameOwnerChanged"),
                  this, SLOT(NameOwnerChanged(QString, QString, QString)));
    auto* watcher = new QDBusPendingCallWatcher(daemon->asyncCall(QStringLiteral("ListNames")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        if (reply.isValid()) {
            listed(reply.value());
        }
        call->deleteLater();
    });
}

QStringList BusNameWatch::names(const QString& prefix) const {
    QStringList result;
    for (const QString& name : m_names) {
        if (name.startsWith(prefix)) {
            result.append(name);
        }
    }
    return result;
}

bool BusNameWatch::watched(const QString& name) const {
    for (const QString& prefix : m_prefixes) {
        if (name.startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

void BusNameWatch::NameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    if (!watched(name)) {
        return;
    }
    const bool had = m_names.contains(name);
    if (newOwner.isEmpty() && had) {
        m_names.removeAll(name);
    } else if (!newOwner.isEmpty() && !had) {
        m_names.append(name);
        m_names.sort();
    } else {
        return;
    }
    Q_EMIT changed();
}

void BusNameWatch::listed(const QStringList& names) {
    QStringList found;
    for (const QString& name : names) {
        if (watched(name)) {
            found.append(name);
        }
    }
    found.sort();
    if (found != m_names) {
        m_names = found;
        Q_EMIT changed();
    }
}
