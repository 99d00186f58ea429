#include "FakeClock.h"
#include "MprisClient.h"
#include "StandinProcess.h"
#include "TrackInfoRecord.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kMprisStandin = QStringLiteral("org.mpris.MediaPlayer2.standin");

bool onBus(const QString& name) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name);
}

QString joined(const TrackInfoLabels& labels) {
    QStringList texts;
    for (const std::optional<QString>& label : labels) {
        texts.append(label.value_or(QStringLiteral("-")));
    }
    return texts.join(QLatin1Char('|'));
}

} // namespace

// The link and its MPRIS client on the test's private bus, with the stand-in player, a peer copy
// and the MPRIS stand-in in processes of their own; the client's position carried on a clock the
// test moves.
class TestVornMPLink : public QObject {
    Q_OBJECT

    std::unique_ptr<VornMPLink> m_link;
    FakeClock m_clock;
    std::unique_ptr<StandinProcess> m_mpris;
    std::unique_ptr<MprisClient> m_client;

    // A stand-in player the link has seen arrive.
    std::unique_ptr<StandinProcess> startPlayer(const QStringList& arguments = {}) {
        auto player = std::make_unique<StandinProcess>(QStringLiteral(VORN_VORNMP_STANDIN), arguments);
        if (!player->ready() || !QTest::qWaitFor([this] { return m_link->playerPresent(); })) {
            return nullptr;
        }
        player->clear();
        return player;
    }
    // The MPRIS stand-in (a stopped 200-second "First Song") followed by a client alone on the bus.
    bool startMpris() {
        m_link.reset();
        m_clock.now = 1'000'000;
        m_mpris = std::make_unique<StandinProcess>(QStringLiteral(VORN_MPRIS_STANDIN),
                                                   QStringList{"--length", "200", "--title", "First Song"});
        if (!m_mpris->ready()) {
            return false;
        }
        m_mpris->clear();
        m_client = std::make_unique<MprisClient>(QDBusConnection::sessionBus(), m_clock);
        m_client->setService(kMprisStandin);
        return QTest::qWaitFor([this] {
            return m_client->stateText() == QLatin1String("MPRIS Stand-in: Stopped") &&
                   labels() == QLatin1String("00:00|03:20|03:20||First Song");
        });
    }
    QString labels() const { return joined(m_client->labels()); }
    // The calls the MPRIS stand-in received up to a Raise sent last (Load raises the player).
    QStringList callsBeforeRaise() {
        m_client->command(VornMP::Load);
        if (!m_mpris->waitForLine(QStringLiteral("Raise"))) {
            return {QStringLiteral("(no Raise)")};
        }
        QStringList calls = m_mpris->lines();
        m_mpris->clear();
        calls.removeLast();
        return calls;
    }

private Q_SLOTS:
    void init() { m_link = std::make_unique<VornMPLink>(QDBusConnection::sessionBus()); }
    void cleanup() {
        m_client.reset();
        m_mpris.reset();
        m_link.reset();
    }

    // No player, or no bus at all: the status fails at once and commands go nowhere, without an error.
    void noPlayerNoBus() {
        VornMPLink busless(QDBusConnection(QStringLiteral("no such connection")));
        QVERIFY(busless.ownName().isEmpty());
        for (VornMPLink* link : {m_link.get(), &busless}) {
            QSignalSpy status(link, &VornMPLink::statusRead);
            link->SendVornMP(VornMP::Play);
            link->SendVornReader(VornMP::TipTimerSwitch);
            link->GetVornMPStatus();
            QCOMPARE(status.size(), 1);
            QCOMPARE(status[0][0].toBool(), false);
            QVERIFY(!link->playerPresent() && link->mprisService().isEmpty());
        }
    }

    // The low 16 bits of each command reach the player, in order; the status is asked, not waited for.
    void player() {
        const auto player = startPlayer({QStringLiteral("--status"), QStringLiteral("  Play 01  ")});
        QVERIFY(player);
        for (const quint32 command : {VornMP::Load, VornMP::UnLoad, VornMP::Play, VornMP::Repeat, VornMP::Rewind,
                                      VornMP::TipTimer, VornMP::Reset}) {
            m_link->SendVornMP(command);
        }
        QCOMPARE(player->playerLines(),
                 QStringList({"Command 0x800a", "Command 0x8009", "Command 0x8008", "Command 0x800c", "Command 0x800b",
                              "Command 0x800d", "Command 0x8012"}));
        QSignalSpy status(m_link.get(), &VornMPLink::statusRead);
        m_link->GetVornMPStatus();
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

    // Each copy owns a name of its own while it lives; the switch reaches every other copy, never
    // this one.
    void switchBetweenCopies() {
        const QString name = QStringLiteral("org.vorn.VornReader.p%1").arg(QCoreApplication::applicationPid());
        QVERIFY(m_link->ownName() == name && onBus(name));
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
        m_link.reset();
        QVERIFY(!onBus(name));
    }

    // The record the player pushes, as the five labels' texts ("-" for a label it leaves as it
    // is); nothing for a record that changes nothing.
    void trackInfo_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("labels");
        QTest::newRow("six fields cut as designed") << "x\t12:34\t01:02:03\t00:10\trepeat\tTitle"
                                                    << "12:34|01:02|00:10|rep|Title";
        QTest::newRow("no tab") << "12:34"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("two fields") << "x\t12:34:56"
                                    << "12:34:56|-|-|-|-";
        QTest::newRow("empty fields clear their labels") << "x\t\t"
                                                         << "||-|-|-";
        QTest::newRow("cut at the first NUL") << QStringLiteral("x\t1\t2") + QChar(0) + "\t3\t4"
                                              << "1|2|-|-|-";
        QTest::newRow("NUL before the first tab") << QStringLiteral("x") + QChar(0) + "\t1"
                                                  << "";
        QTest::newRow("later fields ignored") << "x\ta\tb\tc\td\te\tf\tg"
                                              << "a|b|c|d|e";
        QTest::newRow("short fields stay whole") << "x\t1\t2\t3\tr\tT"
                                                 << "1|2|3|r|T";
    }
    void trackInfo() {
        QFETCH(QString, record);
        QSignalSpy received(m_link.get(), &VornMPLink::trackInfoReceived);
        m_link->receiveTrackInfo(record);
        QTEST(received.isEmpty() ? QString() : joined(received.at(0).at(0).value<TrackInfoLabels>()), "labels");
    }

    // The MPRIS calls each command makes, none with the player gone. Repeat switches the loop on and
    // off; playing, the position moves on with the clock; a new track's metadata and the loop come
    // by signal.
    void mprisClient() {
        QVERIFY(startMpris());
        const QList<std::pair<quint32, QStringList>> commands{
            {VornMP::Play, {"PlayPause"}},
            {VornMP::Rewind, {"SetPosition /org/vorn/standin/track/1 0"}},
            {VornMP::Reset, {"Stop"}},
            {VornMP::UnLoad, {"Stop"}},
            {VornMP::TipTimer, {}}};
        for (const auto& [command, calls] : commands) {
            m_client->command(command);
            QCOMPARE(callsBeforeRaise(), calls);
        }
        m_client->setService(QString());
        QVERIFY(!m_client->isActive());
        m_client->command(VornMP::Play);
        m_client->setService(kMprisStandin);
        QCOMPARE(callsBeforeRaise(), QStringList());
        QTRY_COMPARE(m_client->stateText(), QStringLiteral("MPRIS Stand-in: Stopped"));
        m_client->command(VornMP::Repeat);
        QTRY_COMPARE(labels(), QStringLiteral("00:00|03:20|03:20|rep|First Song"));
        m_client->command(VornMP::Repeat);
        QTRY_COMPARE(labels(), QStringLiteral("00:00|03:20|03:20||First Song"));
        m_client->command(VornMP::Play);
        QTRY_COMPARE(m_client->stateText(), QStringLiteral("MPRIS Stand-in: Playing"));
        m_clock.now += 65'000;
        QCOMPARE(labels(), QStringLiteral("01:05|03:20|02:15||First Song"));
        m_clock.now += 1'000'000;
        QCOMPARE(labels(), QStringLiteral("03:20|03:20|00:00||First Song"));
        m_mpris->order(QStringLiteral("title Second Song"));
        QTRY_COMPARE(m_client->labels()[4], QStringLiteral("Second Song"));
        m_client->command(VornMP::Rewind);
        QCOMPARE(callsBeforeRaise(), QStringList({"LoopStatus Track", "LoopStatus None", "PlayPause", "title set",
                                                  "SetPosition /org/vorn/standin/track/2 0"}));
    }
};

QTEST_GUILESS_MAIN(TestVornMPLink)
#include "TestVornMPLink.moc"
