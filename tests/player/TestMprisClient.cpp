#include "FakeClock.h"
#include "MprisClient.h"
#include "StandinProcess.h"
#include "VornMPCommands.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.standin");

QStringList shown(const TrackInfoLabels& labels) {
    QStringList texts;
    for (const std::optional<QString>& label : labels) {
        texts.append(label.value_or(QStringLiteral("-")));
    }
    return texts;
}

} // namespace

// The MPRIS client against the MPRIS stand-in on the test's private bus, its position carried on
// a clock the test moves.
class TestMprisClient : public QObject {
    Q_OBJECT

    FakeClock m_clock;
    std::unique_ptr<StandinProcess> m_player;
    std::unique_ptr<MprisClient> m_client;

    // The calls the stand-in received up to a Raise sent last (Load raises the player).
    QStringList callsBeforeRaise() {
        m_client->command(VornMP::Load);
        if (!m_player->waitForLine(QStringLiteral("Raise"))) {
            return {QStringLiteral("(no Raise)")};
        }
        QStringList calls = m_player->lines();
        m_player->clear();
        calls.removeLast();
        return calls;
    }

private Q_SLOTS:
    void init() {
        m_clock.now = 1'000'000;
        m_player = std::make_unique<StandinProcess>(QStringLiteral(VORN_MPRIS_STANDIN),
                                                    QStringList{"--length", "200", "--title", "First Song"});
        QVERIFY(m_player->ready());
        m_player->clear();
        m_client = std::make_unique<MprisClient>(QDBusConnection::sessionBus(), m_clock);
        m_client->setService(kService);
        QTRY_COMPARE(m_client->stateText(), QStringLiteral("MPRIS Stand-in: Stopped"));
        QTRY_COMPARE(shown(m_client->labels()), QStringList({"00:00", "03:20", "03:20", "", "First Song"}));
    }
    void cleanup() {
        m_client.reset();
        m_player.reset();
    }

    void commands_data() {
        QTest::addColumn<quint32>("command");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Play") << VornMP::Play << QStringList{"PlayPause"};
        QTest::newRow("Rewind") << VornMP::Rewind << QStringList{"SetPosition /org/vorn/standin/track/1 0"};
        QTest::newRow("Reset") << VornMP::Reset << QStringList{"Stop"};
        QTest::newRow("UnLoad") << VornMP::UnLoad << QStringList{"Stop"};
        QTest::newRow("TipTimer is not for the player") << VornMP::TipTimer << QStringList{};
    }
    void commands() {
        QFETCH(quint32, command);
        m_client->command(command);
        QTEST(callsBeforeRaise(), "calls");
    }

    // Repeat switches the loop on and off; the player's signal brings "rep" to the labels.
    void repeat() {
        QSignalSpy changed(m_client.get(), &MprisClient::changed);
        m_client->command(VornMP::Repeat);
        QTRY_COMPARE(m_client->labels()[3], QStringLiteral("rep"));
        m_client->command(VornMP::Repeat);
        QTRY_COMPARE(m_client->labels()[3], QString());
        QCOMPARE(callsBeforeRaise(), QStringList({"LoopStatus Track", "LoopStatus None"}));
        QVERIFY(changed.size() >= 2);
    }

    // While it plays, the position moves on with the clock; a new track's metadata arrives by signal.
    void playingAndNewTrack() {
        QSignalSpy changed(m_client.get(), &MprisClient::changed);
        m_client->command(VornMP::Play);
        // The status signal, then the position read it causes.
        QTRY_VERIFY(changed.size() >= 2);
        QCOMPARE(m_client->stateText(), QStringLiteral("MPRIS Stand-in: Playing"));
        m_clock.now += 65'000;
        QCOMPARE(shown(m_client->labels()).mid(0, 3), QStringList({"01:05", "03:20", "02:15"}));
        m_clock.now += 1'000'000;
        QCOMPARE(shown(m_client->labels()).mid(0, 3), QStringList({"03:20", "03:20", "00:00"}));
        m_player->order(QStringLiteral("title Second Song"));
        QTRY_COMPARE(m_client->labels()[4], QStringLiteral("Second Song"));
        m_client->command(VornMP::Rewind);
        QCOMPARE(callsBeforeRaise(),
                 QStringList({"PlayPause", "title set", "SetPosition /org/vorn/standin/track/2 0"}));
    }

    // The player leaving: no more commands go out and the labels stay.
    void playerGone() {
        m_client->setService(QString());
        QVERIFY(!m_client->isActive());
        m_client->command(VornMP::Play);
        m_client->setService(kService);
        QCOMPARE(callsBeforeRaise(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestMprisClient)
#include "TestMprisClient.moc"
