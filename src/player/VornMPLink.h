#pragma once

#include "TrackInfoRecord.h"

#include <QDBusConnection>
#include <QObject>
#include <memory>

class BusNameWatch;
class IMonotonicClock;
class MprisClient;
class QDBusPendingCallWatcher;

// The link to the music player and to the other running copies over the session bus. The copy
// owns "org.vorn.VornReader.p<pid>" and takes track information and commands there. Player
// commands go to the companion player "org.vorn.MusicPlayer"; while none is on the bus they go to
// the first MPRIS player instead. Nothing here waits for another program: commands are sent
// without waiting for an answer, the status is asked for asynchronously with a short timeout.
// Without a bus, or without a player, every operation quietly does nothing.
class VornMPLink : public QObject {
    Q_OBJECT

public:
    // How long the status read waits for the companion player before it counts as absent.
    static constexpr int StatusTimeoutMs = 100;

    // clock: carries an MPRIS player's position forward (nullptr: the system's monotonic clock).
    explicit VornMPLink(const QDBusConnection& bus, const IMonotonicClock* clock = nullptr, QObject* parent = nullptr);
    ~VornMPLink() override;

    bool isConnected() const { return m_bus.isConnected(); }
    // This copy's own name on the bus; empty when it could not be taken.
    QString ownName() const { return m_ownName; }
    // The companion player is on the bus.
    bool playerPresent() const;
    // The MPRIS player used while the companion is absent; empty for none.
    QString mprisService() const;

    // A player command (the codes of VornMPCommands.h).
    void SendVornMP(quint32 command);
    // A command to every other running copy.
    void SendVornReader(quint32 command);
    // Reads the player's status; the answer comes as statusRead, at once when no player is there.
    void GetVornMPStatus();

    // What the copy's bus interface received.
    void receiveTrackInfo(const QString& record);
    void receiveCommand(quint32 command);

Q_SIGNALS:
    // found: a player answered, with its status text (trimmed); otherwise text is empty.
    void statusRead(bool found, const QString& text);
    void trackInfoReceived(const TrackInfoLabels& labels);
    void commandReceived(quint32 command);

private:
    void choosePlayers();
    void statusAnswered(QDBusPendingCallWatcher* call);

    QDBusConnection m_bus;
    std::unique_ptr<IMonotonicClock> m_ownClock;
    BusNameWatch* m_names = nullptr;
    MprisClient* m_mpris = nullptr;
    QString m_ownName;
    QDBusPendingCallWatcher* m_statusCall = nullptr;
};
