#include "StandinProcess.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

namespace {

bool onBus(const QString& name) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name);
}

} // namespace

// The link on the test's private bus, with the stand-in player and a peer copy in processes of
// their own.
class TestVornMPLink : public QObject {
    Q_OBJECT

    std::unique_ptr<VornMPLink> m_link;

    // A stand-in player the link has seen arrive.
    std::unique_ptr<StandinProcess> startPlayer(const QStringList& arguments = {}) {
        auto player = std::make_unique<StandinProcess>(QStringLiteral(VORN_VORNMP_STANDIN), arguments);
        if (!player->ready() || !QTest::qWaitFor([this] { return m_link->playerPresent(); })) {
            return nullptr;
        }
        player->clear();
        return player;
    }

private Q_SLOTS:
    void init() { m_link = std::make_unique<VornMPLink>(QDBusConnection::sessionBus()); }
    void cleanup() { m_link.reset(); }

    void ownsItsNameWhileItLives() {
        const QString name = QStringLiteral("org.vorn.VornReader.p%1").arg(QCoreApplication::applicationPid());
        QCOMPARE(m_link->ownName(), name);
        QVERIFY(onBus(name));
        m_link.reset();
        QVERIFY(!onBus(name));
    }

    // No player: the status fails at once and commands go nowhere, without an error.
    void noPlayer() {
        QSignalSpy status(m_link.get(), &VornMPLink::statusRead);
        m_link->SendVornMP(VornMP::Play);
        m_link->GetVornMPStatus();
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][0].toBool(), false);
        QVERIFY(!m_link->playerPresent());
        QVERIFY(m_link->mprisService().isEmpty());
    }

    void withoutBus() {
        VornMPLink link(QDBusConnection(QStringLiteral("no such connection")));
        QSignalSpy status(&link, &VornMPLink::statusRead);
        link.SendVornMP(VornMP::Play);
        link.SendVornReader(VornMP::TipTimerSwitch);
        link.GetVornMPStatus();
        QCOMPARE(status.size(), 1);
        QVERIFY(link.ownName().isEmpty());
    }

    // The low 16 bits of each command reach the player, in order.
    void commands() {
        const auto player = startPlayer();
        QVERIFY(player);
        for (const quint32 command : {VornMP::Load, VornMP::UnLoad, VornMP::Play, VornMP::Repeat, VornMP::Rewind,
                                      VornMP::TipTimer, VornMP::Reset}) {
            m_link->SendVornMP(command);
        }
        QCOMPARE(player->playerLines(),
                 QStringList({"Command 0x800a", "Command 0x8009", "Command 0x8008", "Command 0x800c", "Command 0x800b",
                              "Command 0x800d", "Command 0x8012"}));
    }

    void statusText() {
        const auto player = startPlayer({QStringLiteral("--status"), QStringLiteral("  Play 01  ")});
        QVERIFY(player);
        QSignalSpy status(m_link.get(), &VornMPLink::statusRead);
        m_link->GetVornMPStatus();
        // Asked, not waited for.
        QCOMPARE(status.size(), 0);
        QTRY_COMPARE(status.size(), 1);
        QCOMPARE(status[0], QVariantList({true, QStringLiteral("Play 01")}));
    }

    // The first MPRIS player by name stands in while the companion is away, and only then.
    void mprisWhileNoPlayer() {
        StandinProcess second(QStringLiteral(VORN_MPRIS_STANDIN), {QStringLiteral("--name"), QStringLiteral("zeta")});
        StandinProcess first(QStringLiteral(VORN_MPRIS_STANDIN), {QStringLiteral("--name"), QStringLiteral("alpha")});
        QVERIFY(first.ready() && second.ready());
        QTRY_COMPARE(m_link->mprisService(), QStringLiteral("org.mpris.MediaPlayer2.alpha"));
        auto player = startPlayer();
        QVERIFY(player);
        QCOMPARE(m_link->mprisService(), QString());
        m_link->SendVornMP(VornMP::Play);
        QCOMPARE(player->playerLines(), QStringList({"Command 0x8008"}));
        player.reset();
        QTRY_COMPARE(m_link->mprisService(), QStringLiteral("org.mpris.MediaPlayer2.alpha"));
        m_link->SendVornMP(VornMP::Play);
        QVERIFY(first.waitForLine(QStringLiteral("PlayPause")));
        QCOMPARE(first.lines().count(QStringLiteral("PlayPause")), 1);
        QVERIFY(!second.lines().contains(QStringLiteral("PlayPause")));
    }

    // The switch reaches every other copy, never this one.
    void switchBetweenCopies() {
        StandinProcess peer(QStringLiteral(VORN_LINK_PEER));
        QVERIFY(QTest::qWaitFor([&] { return !peer.lines().isEmpty(); }));
        QVERIFY(peer.lines().front().startsWith(QLatin1String("ready org.vorn.VornReader.p")));
        QSignalSpy received(m_link.get(), &VornMPLink::commandReceived);
        peer.order(QStringLiteral("switch"));
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toUInt(), VornMP::TipTimerSwitch);
        m_link->SendVornReader(VornMP::TipTimerSwitch);
        QVERIFY(peer.waitForLine(QStringLiteral("Command 0xffff9001")));
        // A marker to this copy arrives after anything it could have sent itself.
        QDBusMessage marker = QDBusMessage::createMethodCall(
            m_link->ownName(), QStringLiteral("/"), QStringLiteral("org.vorn.VornReader"), QStringLiteral("Command"));
        marker.setArguments({uint(0x7777)});
        QDBusConnection::sessionBus().send(marker);
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received[1][0].toUInt(), 0x7777u);
    }
};

QTEST_GUILESS_MAIN(TestVornMPLink)
#include "TestVornMPLink.moc"
