#pragma once

#include "TrackInfoRecord.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class IMonotonicClock;

// A desktop media player reached through the MPRIS interface (org.mpris.MediaPlayer2.*), for when
// no companion player is on the bus. The player's keys map to MPRIS calls; its identity, playback
// status, loop status and metadata are kept from the PropertiesChanged and Seeked signals, and the
// position between them is carried forward on the monotonic clock while the player plays.
class MprisClient : public QObject {
    Q_OBJECT

public:
    MprisClient(const QDBusConnection& bus, const IMonotonicClock& clock, QObject* parent = nullptr);

    // The player's bus name; empty for none.
    void setService(const QString& service);
    QString service() const { return m_service; }
    bool isActive() const { return !m_service.isEmpty(); }

    // A player command code of the link: Play plays or pauses, Rewind goes to the start, Reset and
    // UnLoad stop, Repeat switches looping of the track, Load raises the player's window. Other
    // codes are not for the player.
    void command(quint32 code);

    // "<identity>: <playback status>".
    QString stateText() const;
    // Position, length, time left, "rep" when looping, and the title.
    TrackInfoLabels labels() const;

Q_SIGNALS:
    void changed();

private Q_SLOTS:
    void PropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void Seeked(qlonglong position);

private:
    void subscribe(bool on);
    void readAll(const QString& interface);
    void readPosition();
    void apply(const QVariantMap& properties);
    void call(const QString& interface, const QString& method, const QVariantList& arguments = {});
    // The position now, in microseconds.
    qint64 position() const;

    QDBusConnection m_bus;
    const IMonotonicClock& m_clock;
    QString m_service;
    QString m_identity;
    QString m_status;
    QString m_loop;
    QString m_title;
    QString m_trackId;
    qint64 m_length = -1;
    qint64 m_position = 0;
    qint64 m_positionAt = 0;
    double m_rate = 1.0;
};
