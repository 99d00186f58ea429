#include "FakeClock.h"
#include "PlayerPanel.h"
#include "Settings.h"
#include "StandinProcess.h"
#include "TestHome.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"

#include <QtTest>
#include <QtWidgets>

// The player's line on its own: the tip timer on a clock the test moves, and the tip-timer switch
// between this copy and a peer copy in another process on the test's private bus.
class TestPlayerPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Settings> m_settings;
    FakeClock m_clock;
    std::unique_ptr<PlayerPanel> m_panel;

    QPushButton* button() const { return m_panel->widget()->findChild<QPushButton*>(QStringLiteral("chkTipTimer")); }
    QLabel* tipTime() const { return m_panel->widget()->findChild<QLabel*>(QStringLiteral("lblTipTime")); }
    QTimer* tipTimer() const { return m_panel->findChild<QTimer*>(QStringLiteral("tmrTipTimer")); }
    // The tip time's text with its colour.
    QString shownTime() const {
        return tipTime()->text() + QLatin1Char(' ') + tipTime()->palette().color(QPalette::WindowText).name();
    }
    // The tick, at that many milliseconds after the start.
    QString tickAt(qint64 start, qint64 elapsed) {
        m_clock.now = start + elapsed;
        m_panel->tipTimerTick();
        return shownTime();
    }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_settings = std::make_unique<Settings>();
        m_clock.now = 5'000;
        m_panel = std::make_unique<PlayerPanel>(*m_settings, nullptr, &m_clock);
        m_panel->widget()->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel->widget()));
    }
    void cleanup() {
        m_panel.reset();
        m_settings.reset();
        m_home.reset();
    }

    void designedCaptions() {
        QCOMPARE(shownTime(), QStringLiteral("00:00 #000000"));
        QCOMPARE(button()->text(), QStringLiteral("Start"));
        QTRY_COMPARE(m_panel->widget()->findChild<QLabel*>(QStringLiteral("lblVornMP_State"))->text(),
                     QStringLiteral("VornMP State"));
        for (int i = 0; i < 5; ++i) {
            QVERIFY(
                m_panel->widget()->findChild<QLabel*>(QStringLiteral("lblVornMP_Info(%1)").arg(i))->text().isEmpty());
        }
    }

    // The tip on the label: its time and colour at each tick, from the tip length and direction in
    // the settings; stopping resets it (there is no pause).
    void tipOnTheLabel_data() {
        QTest::addColumn<int>("timerSwitch");
        QTest::addColumn<int>("tipTime");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<QStringList>("ticks"); // milliseconds after the start = time and colour
        QTest::newRow("counting down") << 0 << 12 << "12:00 #000000"
                                       << QStringList{"1000=11:59 #000000", "601000=01:59 #0000ff",
                                                      "721000=00:01 #ff0000", "722000=00:02 #ff0000"};
        QTest::newRow("counting up") << 1 << 120 << "00:00 #000000"
                                     << QStringList{"61000=01:01 #000000", "7081000=18:01 #0000ff",
                                                    "7201000=20:01 #ff0000"};
    }
    void tipOnTheLabel() {
        QFETCH(int, timerSwitch);
        QFETCH(int, tipTime);
        QFETCH(QString, reset);
        QFETCH(QStringList, ticks);
        m_settings->TimerSwitch = timerSwitch;
        m_settings->TipTime = tipTime;
        m_panel->libraryOpened();
        QCOMPARE(shownTime(), reset);
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(button()->text() == QStringLiteral("Stop") && tipTimer()->isActive());
        const qint64 start = m_clock.now;
        for (const QString& tick : ticks) {
            QCOMPARE(tickAt(start, tick.section('=', 0, 0).toLongLong()), tick.section('=', 1));
        }
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(button()->text() == QStringLiteral("Start") && !tipTimer()->isActive());
        QCOMPARE(shownTime(), reset);
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
        const QString title = QStringLiteral("The Longest Music Title Ever Played at a Dance");
        m_panel->link().receiveTrackInfo(QStringLiteral("x\t03:25\t04:10\t00:45\trep\t") + title);
        QWidget* line = m_panel->widget();
        for (int pass = 0; pass < 2; ++pass) {
            line->resize(width, line->sizeHint().height());
            QCoreApplication::processEvents();
        }
        const auto label = [line](int i) {
            return line->findChild<QLabel*>(QStringLiteral("lblVornMP_Info(%1)").arg(i));
        };
        const QRect shown = label(4)->geometry();
        QVERIFY2(!shown.intersects(button()->geometry()) && line->rect().contains(shown) &&
                     shown.width() >= label(4)->fontMetrics().horizontalAdvance(title.left(8)),
                 qPrintable(QDebug::toString(shown) + QDebug::toString(button()->geometry())));
        QCOMPARE(label(4)->text() + label(4)->toolTip(), title + title);
        QSet<QString> names;
        for (int i = 0; i < 4; ++i) {
            names.insert(label(i)->toolTip());
        }
        QVERIFY(names.size() == 4 && !names.contains(QString()));
    }

    // Opening a library while the tip runs leaves it running.
    void libraryOpenedWhileRunning() {
        m_panel->toggleTipTimer();
        m_panel->libraryOpened();
        QCOMPARE(button()->text(), QStringLiteral("Stop"));
        QVERIFY(tipTimer()->isActive());
    }

    // A click switches the peer copy too; a switch from the peer, or from a key here, is not sent
    // back: each copy's switch goes one way.
    void switchWithAnotherCopy() {
        StandinProcess peer(QStringLiteral(VORN_LINK_PEER));
        QVERIFY(QTest::qWaitFor([&] { return !peer.lines().isEmpty(); }));
        const QString peerName = peer.lines().front().section(QLatin1Char(' '), 1);
        QVERIFY(peerName.startsWith(QLatin1String("org.vorn.VornReader.p")));
        peer.clear();
        // Sent the way the switch goes, so it arrives after any switch sent before it.
        const auto marker = [this] { m_panel->link().SendVornReader(0x7777); };

        peer.order(QStringLiteral("switch"));
        QTRY_COMPARE(button()->text(), QStringLiteral("Stop"));
        QVERIFY(button()->isChecked());
        QCOMPARE(peer.linesBefore(marker, QStringLiteral("Command 0x00007777")), QStringList({"sent"}));

        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(button()->text(), QStringLiteral("Start"));
        QCOMPARE(peer.linesBefore(marker, QStringLiteral("Command 0x00007777")), QStringList({"Command 0xffff9001"}));

        m_panel->switchTipTimerEverywhere();
        QCOMPARE(button()->text(), QStringLiteral("Stop"));
        QCOMPARE(peer.linesBefore(marker, QStringLiteral("Command 0x00007777")), QStringList({"Command 0xffff9001"}));
    }
};

QTEST_MAIN(TestPlayerPanel)
#include "TestPlayerPanel.moc"
