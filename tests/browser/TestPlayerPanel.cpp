#include "FakeClock.h"
#include "KeyCodeConvert.h"
#include "PlayerPanel.h"
#include "StandinProcess.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"
#include "WindowFixture.h"

// The player's line: the window's keys reaching the stand-in players on the test's private bus, the
// track and tip labels, and the tip-timer switch between copies. The timer's and the link's own
// rules belong to the player's tests.
class TestPlayerPanel : public WindowFixture {
    Q_OBJECT

    QString label(const QString& name) const { return m_window->findChild<QLabel*>(name)->text(); }
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
    // A panel of its own on a clock the test moves.
    struct Panel {
        Settings settings;
        FakeClock clock;
        PlayerPanel panel{settings, nullptr, &clock};
        QPushButton* button() const { return panel.widget()->findChild<QPushButton*>(QStringLiteral("chkTipTimer")); }
        QString shown() const {
            const auto* time = panel.widget()->findChild<QLabel*>(QStringLiteral("lblTipTime"));
            return time->text() + QLatin1Char(' ') + time->palette().color(QPalette::WindowText).name();
        }
    };

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
        row("UnLoad", {}, {Qt::Key_U}, {"Command 0x8009"}, false);
        row("Play", {}, {Qt::Key_P}, {"Command 0x8008"}, false);
        row("Repeat", {}, {Qt::Key_R}, {"Command 0x800c"}, false);
        row("Rewind", {}, {Qt::Key_W}, {"Command 0x800b"}, false);
        row("TipTimer also switches the timer", {}, {Qt::Key_G}, {"Command 0x800d"}, true);
        row("Reset", {}, {Qt::Key_S}, {"Command 0x8012"}, false);
        row("timer switch key", {}, {Qt::Key_T}, {}, true);
        row("a key of two records sends both", {"8", "P"}, {Qt::Key_P}, {"Command 0x8008", "Command 0x800b"}, false);
        row("a function key", {"6", "{F5}"}, {Qt::Key_P, Qt::Key_F5}, {"Command 0x8008"}, false);
        row("only the first word counts", {"5", "L U"}, {Qt::Key_U, Qt::Key_L}, {"Command 0x800a", "Command 0x8009"},
            false);
        row("a cleared key no longer fires", {"6", ""}, {Qt::Key_P}, {}, false);
        row("a cursor key keeps its own record", {"0", "L"}, {Qt::Key_L}, {"Command 0x800a"}, false);
    }
    void playerCodes() {
        QFETCH(QStringList, assignments);
        QFETCH(QList<int>, keys);
        const auto player = startWithPlayer();
        QVERIFY(player);
        for (qsizetype i = 0; i + 1 < assignments.size(); i += 2) {
            KeyAssignment& key = settings().keyTable[assignments[i].toInt()];
            key.Text = assignments[i + 1];
            key.Count = modGeneral::KeyCodeConvert(key.Text, key.Codes);
        }
        for (const int key : keys) {
            QTest::keyClick(m_window->callList().grid(), Qt::Key(key));
        }
        QTEST(player->playerLines(), "codes");
        QTEST(m_window->findChild<QPushButton*>(QStringLiteral("chkTipTimer"))->isChecked(), "timerSwitched");
    }

    // The track's record on the labels; a record without a tab changes nothing. Opening a library
    // clears them, and a stopped timer shows the tip length. A hung player: the window goes on with
    // its work, the state label falls back, and the key reaches the player once it wakes.
    void trackInfoAndHungPlayer() {
        const auto player = startWithPlayer();
        QVERIFY(player);
        player->order(QStringLiteral("push x\\t12:34\\t01:02:03\\t00:10\\trepeat\\tTitle"));
        player->order(QStringLiteral("push no tab at all"));
        player->order(QStringLiteral("push x\\t99:99"));
        QTRY_COMPARE(infoLabels(), QStringList({"99:99", "01:02", "00:10", "rep", "Title"}));
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

    // The tip on the label, from the tip length and direction in the settings; Start and Stop, which
    // resets it; opening a library while it runs leaves it running.
    void tipOnTheLabel_data() {
        QTest::addColumn<int>("timerSwitch");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<QString>("tick"); // milliseconds after the start = time and colour
        QTest::newRow("counting down") << 0 << "12:00 #000000"
                                       << "601000=01:59 #0000ff";
        QTest::newRow("counting up") << 1 << "00:00 #000000"
                                     << "721000=12:01 #ff0000";
    }
    void tipOnTheLabel() {
        QFETCH(int, timerSwitch);
        QFETCH(QString, reset);
        QFETCH(QString, tick);
        Panel p;
        p.settings.TimerSwitch = timerSwitch;
        p.settings.TipTime = 12;
        p.panel.libraryOpened();
        QCOMPARE(p.shown(), reset);
        QTest::mouseClick(p.button(), Qt::LeftButton);
        p.clock.now += tick.section('=', 0, 0).toLongLong();
        p.panel.tipTimerTick();
        QCOMPARE(p.button()->text() + ' ' + p.shown(), QStringLiteral("Stop ") + tick.section('=', 1));
        p.panel.libraryOpened();
        QCOMPARE(p.button()->text(), QStringLiteral("Stop"));
        QTest::mouseClick(p.button(), Qt::LeftButton);
        QCOMPARE(p.button()->text() + ' ' + p.shown(), QStringLiteral("Start ") + reset);
    }

    // At any width of the pane the track's title has a place of its own, never under the button,
    // and shows itself whole when the pointer rests on it; so do the numbers, with their names.
    void trackLine_data() {
        QTest::addColumn<int>("width");
        for (const int width : {240, 480, 900}) {
            QTest::addRow("%d px", width) << width;
        }
    }
    void trackLine() {
        QFETCH(int, width);
        Panel p;
        const QString title = QStringLiteral("The Longest Music Title Ever Played at a Dance");
        p.panel.link().receiveTrackInfo(QStringLiteral("x\t03:25\t04:10\t00:45\trep\t") + title);
        QWidget* line = p.panel.widget();
        line->show();
        QVERIFY(QTest::qWaitForWindowExposed(line));
        for (int pass = 0; pass < 2; ++pass) {
            line->resize(width, line->sizeHint().height());
            QCoreApplication::processEvents();
        }
        const auto label = [line](int i) {
            return line->findChild<QLabel*>(QStringLiteral("lblVornMP_Info(%1)").arg(i));
        };
        const QRect shown = label(4)->geometry();
        QVERIFY2(!shown.intersects(p.button()->geometry()) && line->rect().contains(shown) &&
                     shown.width() >= label(4)->fontMetrics().horizontalAdvance(title.left(8)),
                 qPrintable(QDebug::toString(shown) + QDebug::toString(p.button()->geometry())));
        QCOMPARE(label(4)->text() + label(4)->toolTip(), title + title);
        QSet<QString> names;
        for (int i = 0; i < 4; ++i) {
            names.insert(label(i)->toolTip());
        }
        QVERIFY(names.size() == 4 && !names.contains(QString()));
    }

    // A click switches the peer copy too; a switch from the peer, or from a key here, is not sent
    // back: each copy's switch goes one way.
    void switchWithAnotherCopy() {
        Panel p;
        StandinProcess peer(QStringLiteral(VORN_LINK_PEER));
        QVERIFY(QTest::qWaitFor([&] { return !peer.lines().isEmpty(); }));
        peer.clear();
        // Sent the way the switch goes, so it arrives after any switch sent before it.
        const auto sent = [&] {
            return peer.linesBefore([&] { p.panel.link().SendVornReader(0x7777); },
                                    QStringLiteral("Command 0x00007777"));
        };
        peer.order(QStringLiteral("switch"));
        QTRY_COMPARE(p.button()->text(), QStringLiteral("Stop"));
        QCOMPARE(sent(), QStringList({"sent"}));
        QTest::mouseClick(p.button(), Qt::LeftButton);
        QCOMPARE(p.button()->text(), QStringLiteral("Start"));
        QCOMPARE(sent(), QStringList({"Command 0xffff9001"}));
        p.panel.switchTipTimerEverywhere();
        QCOMPARE(p.button()->text(), QStringLiteral("Stop"));
        QCOMPARE(sent(), QStringList({"Command 0xffff9001"}));
    }
};

QTEST_MAIN(TestPlayerPanel)
#include "TestPlayerPanel.moc"
