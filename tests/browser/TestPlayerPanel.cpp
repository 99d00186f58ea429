#include "FakeClock.h"
#include "PlayerPanel.h"
#include "StandinProcess.h"
#include "VornMPLink.h"
#include "WindowFixture.h"

// The player's line: the window's keys reaching the stand-in players on the test's private bus, the
// track and tip labels, and the tip-timer switch between copies. The timer's and the link's own
// rules belong to the player's tests.
class TestPlayerPanel : public WindowFixture {
    Q_OBJECT

    QStringList infoLabels() const {
        QStringList texts;
        for (int i = 0; i < 5; ++i) {
            texts.append(label(QStringLiteral("lblVornMP_Info(%1)").arg(i)));
        }
        return texts;
    }
    // The window on the Plus library with the stand-in player shown in its state label.
    std::unique_ptr<StandinProcess> startWithPlayer() {
        if (!start({"linux.Plus"}) || !focus(m_window->callList().grid())) {
            return nullptr;
        }
        auto player = std::make_unique<StandinProcess>(QStringLiteral(VORN_VORNMP_STANDIN));
        if (!player->ready() ||
            !QTest::qWaitFor([this] { return label(QStringLiteral("lblVornMP_State")) == "Stand-in Stop"; })) {
            return nullptr;
        }
        player->clear();
        return player;
    }

private Q_SLOTS:
    // assignments: record and key text pairs changed before the keys are pressed.
    void playerCodes_data() {
        QTest::addColumn<QStringList>("assignments");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<bool>("timerSwitched");
        const auto row = [](const char* name, const QStringList& assignments, const QList<int>& keys,
                            const QStringList& codes,
                            bool switched) { QTest::newRow(name) << assignments << keys << codes << switched; };
        row("Load", {}, {Qt::Key_L}, {"Command 0x800a"}, false);
        row("Play", {}, {Qt::Key_P}, {"Command 0x8008"}, false);
        row("TipTimer also switches the timer", {}, {Qt::Key_G}, {"Command 0x800d"}, true);
        row("timer switch key", {}, {Qt::Key_T}, {}, true);
        row("a key of two records sends both", {"8", "P"}, {Qt::Key_P}, {"Command 0x8008", "Command 0x800b"}, false);
        row("a function key", {"6", "{F5}"}, {Qt::Key_P, Qt::Key_F5}, {"Command 0x8008"}, false);
        row("a cleared key no longer fires", {"6", ""}, {Qt::Key_P}, {}, false);
        row("a cursor key keeps its own record", {"0", "L"}, {Qt::Key_L}, {"Command 0x800a"}, false);
    }
    void playerCodes() {
        QFETCH(QStringList, assignments);
        QFETCH(QList<int>, keys);
        const auto player = startWithPlayer();
        QVERIFY(player);
        for (qsizetype i = 0; i + 1 < assignments.size(); i += 2) {
            act(QStringLiteral("assign %1=%2").arg(assignments[i], assignments[i + 1]));
        }
        for (const int key : keys) {
            QTest::keyClick(m_window->callList().grid(), Qt::Key(key));
        }
        QTEST(player->playerLines(), "codes");
        QTEST(m_window->findChild<QPushButton*>(QStringLiteral("chkTipTimer"))->isChecked(), "timerSwitched");
    }

    // The track's record on the labels. Opening a library
    // clears them, and a stopped timer shows the tip length. A hung player: the window goes on with
    // its work, the state label falls back, and the key reaches the player once it wakes.
    void trackInfoAndHungPlayer() {
        const auto player = startWithPlayer();
        QVERIFY(player);
        player->order(QStringLiteral("push x\\t12:34\\t01:02:03\\t00:10\\trepeat\\tTitle"));
        QTRY_COMPARE(infoLabels(), QStringList({"12:34", "01:02", "00:10", "rep", "Title"}));
        settings().TipTime = 30;
        m_window->libraryCommands().OpenSequenceMdbFile(m_library, QString());
        QCOMPARE(infoLabels() << label(QStringLiteral("lblTipTime")), QStringList(5) << QStringLiteral("30:00"));
        player->clear();
        player->order(QStringLiteral("hang 2500"));
        QVERIFY(player->waitForLine(QStringLiteral("hanging")));
        QTRY_COMPARE(label(QStringLiteral("lblVornMP_State")), QStringLiteral("VornMP State"));
        m_window->callList().setCurrentRow(2);
        QTest::keyClick(m_window->callList().grid(), Qt::Key_P);
        QTest::keyClick(m_window->callList().grid(), Qt::Key_Up);
        QCOMPARE(m_window->callList().currentRow(), 1);
        QVERIFY(!player->lines().contains(QStringLiteral("awake")));
        QVERIFY(player->waitForLine(QStringLiteral("awake")));
        QTRY_COMPARE(label(QStringLiteral("lblVornMP_State")), QStringLiteral("Stand-in Stop"));
        QCOMPARE(player->playerLines(), QStringList({"hanging", "awake", "Command 0x8008"}));
    }

    // A click switches the peer copy too; a switch from the peer, or from a key here, is not sent
    // back: each copy's switch goes one way.
    void switchWithAnotherCopy() {
        Settings own;
        FakeClock clock;
        PlayerPanel panel(own, nullptr, &clock);
        auto* button = panel.widget()->findChild<QPushButton*>(QStringLiteral("chkTipTimer"));
        StandinProcess peer(QStringLiteral(VORN_LINK_PEER));
        QVERIFY(QTest::qWaitFor([&] { return !peer.lines().isEmpty(); }));
        peer.clear();
        // Sent the way the switch goes, so it arrives after any switch sent before it.
        const auto sent = [&] {
            return peer.linesBefore([&] { panel.link().SendVornReader(0x7777); }, QStringLiteral("Command 0x00007777"));
        };
        peer.order(QStringLiteral("switch"));
        QTRY_COMPARE(button->text(), QStringLiteral("Stop"));
        QCOMPARE(sent(), QStringList({"sent"}));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QStringLiteral("Start"));
        QCOMPARE(sent(), QStringList({"Command 0xffff9001"}));
        panel.switchTipTimerEverywhere();
        QCOMPARE(button->text(), QStringLiteral("Stop"));
        QCOMPARE(sent(), QStringList({"Command 0xffff9001"}));
    }
};

QTEST_MAIN(TestPlayerPanel)
#include "TestPlayerPanel.moc"
