#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

// The well-known names on the bus that begin with one of the given prefixes, kept up to date by
// the bus's name-owner signals, so that looking a name up costs no call on the bus.
class BusNameWatch : public QObject {
    Q_OBJECT

public:
    BusNameWatch(const QDBusConnection& bus, const QStringList& prefixes, QObject* parent = nullptr);

    bool contains(const QString& name) const { return m_names.contains(name); }
    // The watched names that begin with prefix, in alphabetical order.
    QStringList names(const QString& prefix) const;

Q_SIGNALS:
    void changed();

private Q_SLOTS:
    void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    bool watched(const QString& name) const;
    void listed(const QStringList& names);

    QDBusConnection m_bus;
    QStringList m_prefixes;
    QStringList m_names;
};
