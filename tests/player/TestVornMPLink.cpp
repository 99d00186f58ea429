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

// The link and its MPRIS client on the test's private bus, with the stand-in player and the MPRIS
// stand-in in processes of their own; the client's position carried on a clock the test moves.
class TestVornMPLink : public QObject {
    Q_OBJECT

    std::unique_ptr<VornMPLink> m_link;

private Q_SLOTS:
    void init() { m_link = std::make_unique<VornMPLink>(QDBusConnection::sessionBus()); }
    void cleanup() { m_link.reset(); }

    // No player, or no bus at all: the status fails at once and commands go nowhere, without an error.
    void noPlayerNoBus() {
        VornMPLink busless(QDBusConnection(QStringLiteral("no such connection")));
        QVERIFY(busless.ownName().isEmpty());
        for (VornMPLink* link : {m_link.get(), &busless}) {
            QSignalSpy status(link, &VornMPLink::statusRead);
            link->SendVornMP(VornMP::Play);
            link->SendVornReader(VornMP::TipTimerSwitch);
            link->GetVornMPStatus();
            QVERIFY(status.size() == 1 && !status[0][0].toBool() && !link->playerPresent());
            QVERIFY(link->mprisService().isEmpty());
        }
    }

    // The low 16 bits of each command reach the player, in order; the status is asked, not waited for.
    void player() {
        StandinProcess player(QStringLiteral(VORN_VORNMP_STANDIN), {"--status", "  Play 01  "});
        QVERIFY(player.ready() && QTest::qWaitFor([this] { return m_link->playerPresent(); }));
        player.clear();
        m_link->SendVornMP(VornMP::Load);
        m_link->SendVornMP(VornMP::Reset);
        QCOMPARE(player.playerLines(), QStringList({"Command 0x800a", "Command 0x8012"}));
        QSignalSpy status(m_link.get(), &VornMPLink::statusRead);
        m_link->GetVornMPStatus();
        QVERIFY(status.isEmpty());
        QTRY_COMPARE(status.value(0), QVariantList({true, QStringLiteral("Play 01")}));
    }

    // The first MPRIS player by name stands in while the companion is away, and only then.
    void mprisWhileNoPlayer() {
        StandinProcess second(QStringLiteral(VORN_MPRIS_STANDIN), {QStringLiteral("--name"), QStringLiteral("zeta")});
        StandinProcess first(QStringLiteral(VORN_MPRIS_STANDIN), {QStringLiteral("--name"), QStringLiteral("alpha")});
        QVERIFY(first.ready() && second.ready());
        QTRY_COMPARE(m_link->mprisService(), QStringLiteral("org.mpris.MediaPlayer2.alpha"));
        {
            StandinProcess player(QStringLiteral(VORN_VORNMP_STANDIN));
            QVERIFY(player.ready() && QTest::qWaitFor([this] { return m_link->playerPresent(); }));
            QCOMPARE(m_link->mprisService(), QString());
        }
        QTRY_COMPARE(m_link->mprisService(), QStringLiteral("org.mpris.MediaPlayer2.alpha"));
        m_link->SendVornMP(VornMP::Play);
        QVERIFY(first.waitForLine(QStringLiteral("PlayPause")) &&
                !second.lines().contains(QStringLiteral("PlayPause")));
    }

    // Each copy owns a name of its own while it lives; its switch goes to the other copies (the
    // panel's tests run one), never to itself.
    void ownNameAndNoSelfSwitch() {
        const QString name = QStringLiteral("org.vorn.VornReader.p%1").arg(QCoreApplication::applicationPid());
        QVERIFY(m_link->ownName() == name && onBus(name));
        QSignalSpy received(m_link.get(), &VornMPLink::commandReceived);
        m_link->SendVornReader(VornMP::TipTimerSwitch);
        // A marker to this copy arrives after anything it could have sent itself.
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(name, "/", "org.vorn.VornReader", "Command")
                                           << uint(0x7777));
        QTRY_COMPARE(received.value(0).value(0).toUInt(), 0x7777u);
        m_link.reset();
        QVERIFY(!onBus(name));
    }

    // The record the player pushes, as the five labels' texts ("-" for a label it leaves as it
    // is); nothing for a record that changes nothing.
    void trackInfo_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("labels");
        const auto row = [](const char* name, const QString& record, const char* labels) {
            QTest::newRow(name) << record << QString(labels);
        };
        row("six fields cut as designed", "x\t12:34\t01:02:03\t00:10\trepeat\tTitle", "12:34|01:02|00:10|rep|Title");
        row("no tab", "12:34", "");
        row("cut at the first NUL", QStringLiteral("x\t1\t2") + QChar(0) + "\t3\t4", "1|2|-|-|-");
        row("later fields ignored", "x\ta\tb\tc\td\te\tf\tg", "a|b|c|d|e");
    }
    void trackInfo() {
        QFETCH(QString, record);
        QSignalSpy received(m_link.get(), &VornMPLink::trackInfoReceived);
        m_link->receiveTrackInfo(record);
        QTEST(received.isEmpty() ? QString() : joined(received.at(0).at(0).value<TrackInfoLabels>()), "labels");
    }

    // The MPRIS calls each command makes (up to the Raise of a Load sent last), none with the player
    // gone. Repeat switches the loop on and off; playing, the position moves on with the clock; a
    // new track's metadata and the loop come by signal.
    void mprisClient() {
        m_link.reset();
        FakeClock clock;
        clock.now = 1'000'000;
        StandinProcess mpris(QStringLiteral(VORN_MPRIS_STANDIN), {"--length", "200", "--title", "First Song"});
        QVERIFY(mpris.ready());
        MprisClient client(QDBusConnection::sessionBus(), clock);
        client.setService(kMprisStandin);
        const auto labels = [&] { return client.stateText() + QLatin1Char('|') + joined(client.labels()); };
        QTRY_COMPARE(labels(), QStringLiteral("MPRIS Stand-in: Stopped|00:00|03:20|03:20||First Song"));
        mpris.clear();
        const auto calls = [&](quint32 command) {
            client.command(command);
            return mpris.linesBefore([&] { client.command(VornMP::Load); }, QStringLiteral("Raise"));
        };
        QCOMPARE(calls(VornMP::Play), QStringList{"PlayPause"});
        QCOMPARE(calls(VornMP::Rewind), QStringList{"SetPosition /org/vorn/standin/track/1 0"});
        QCOMPARE(calls(VornMP::Reset), QStringList{"Stop"});
        QCOMPARE(calls(VornMP::TipTimer), QStringList());
        client.setService(QString());
        client.command(VornMP::Play);
        client.setService(kMprisStandin);
        QCOMPARE(calls(VornMP::Repeat), QStringList{"LoopStatus Track"});
        QTRY_COMPARE(labels(), QStringLiteral("MPRIS Stand-in: Stopped|00:00|03:20|03:20|rep|First Song"));
        client.command(VornMP::Repeat);
        QTRY_COMPARE(labels(), QStringLiteral("MPRIS Stand-in: Stopped|00:00|03:20|03:20||First Song"));
        client.command(VornMP::Play);
        QTRY_COMPARE(labels(), QStringLiteral("MPRIS Stand-in: Playing|00:00|03:20|03:20||First Song"));
        clock.now += 65'000;
        QCOMPARE(labels(), QStringLiteral("MPRIS Stand-in: Playing|01:05|03:20|02:15||First Song"));
        clock.now += 1'000'000;
        QCOMPARE(labels(), QStringLiteral("MPRIS Stand-in: Playing|03:20|03:20|00:00||First Song"));
        mpris.order(QStringLiteral("title Second Song"));
        QTRY_COMPARE(client.labels()[4], QStringLiteral("Second Song"));
        QCOMPARE(calls(VornMP::Rewind),
                 QStringList({"LoopStatus None", "PlayPause", "title set", "SetPosition /org/vorn/standin/track/2 0"}));
    }
};

QTEST_GUILESS_MAIN(TestVornMPLink)
#include "TestVornMPLink.moc"
