#include "KeyCodeConvert.h"
#include "StandinProcess.h"
#include "VornMPCommands.h"
#include "WindowFixture.h"

namespace {

const QString kNoPlayer = QStringLiteral("VornMP State");

} // namespace

// The key table inside the window's key handling, with the stand-in players on the test's private
// bus.
class TestKeyDispatch : public WindowFixture {
    Q_OBJECT

    QString label(const QString& name) const { return m_window->findChild<QLabel*>(name)->text(); }
    QStringList infoLabels() const {
        QStringList texts;
        for (int i = 0; i < 5; ++i) {
            texts.append(label(QStringLiteral("lblVornMP_Info(%1)").arg(i)));
        }
        return texts;
    }
    QPushButton* tipButton() const { return m_window->findChild<QPushButton*>(QStringLiteral("chkTipTimer")); }
    static void assign(int record, const QString& text) {
        KeyAssignment& key = settings().keyTable[record];
        key.Text = text;
        key.Count = modGeneral::KeyCodeConvert(text, key.Codes);
    }
    // Keys typed into the call list.
    void press(const QString& keys, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        for (const QChar key : keys) {
            QTest::keyClick(m_window->callList().grid(), key.toLatin1(), modifiers);
        }
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
        const QStringList none;
        QTest::newRow("Load") << none << QList<int>{Qt::Key_L} << QStringList{"Command 0x800a"} << false;
        QTest::newRow("UnLoad") << none << QList<int>{Qt::Key_U} << QStringList{"Command 0x8009"} << false;
        QTest::newRow("Play") << none << QList<int>{Qt::Key_P} << QStringList{"Command 0x8008"} << false;
        QTest::newRow("Repeat") << none << QList<int>{Qt::Key_R} << QStringList{"Command 0x800c"} << false;
        QTest::newRow("Rewind") << none << QList<int>{Qt::Key_W} << QStringList{"Command 0x800b"} << false;
        QTest::newRow("TipTimer also switches the timer")
            << none << QList<int>{Qt::Key_G} << QStringList{"Command 0x800d"} << true;
        QTest::newRow("Reset") << none << QList<int>{Qt::Key_S} << QStringList{"Command 0x8012"} << false;
        QTest::newRow("timer switch key") << none << QList<int>{Qt::Key_T} << none << true;
        QTest::newRow("a key of two records sends both") << QStringList{"8", "P"} << QList<int>{Qt::Key_P}
                                                         << QStringList{"Command 0x8008", "Command 0x800b"} << false;
        QTest::newRow("a function key") << QStringList{"6", "{F5}"} << QList<int>{Qt::Key_P, Qt::Key_F5}
                                        << QStringList{"Command 0x8008"} << false;
        QTest::newRow("only the first word of a key counts")
            << QStringList{"5", "L U"} << QList<int>{Qt::Key_U, Qt::Key_L}
            << QStringList{"Command 0x800a", "Command 0x8009"} << false;
        QTest::newRow("a cleared key no longer fires")
            << QStringList{"6", ""} << QList<int>{Qt::Key_P} << none << false;
    }
    void playerCodes() {
        QFETCH(QStringList, assignments);
        QFETCH(QList<int>, keys);
        const auto player = startWithPlayer();
        QVERIFY(player);
        for (qsizetype i = 0; i + 1 < assignments.size(); i += 2) {
            assign(assignments[i].toInt(), assignments[i + 1]);
        }
        for (const int key : keys) {
            QTest::keyClick(m_window->callList().grid(), Qt::Key(key));
        }
        QTEST(player->playerLines(), "codes");
        QTEST(tipButton()->isChecked(), "timerSwitched");
    }

    void trackInfo() {
        const auto player = startWithPlayer();
        QVERIFY(player);
        player->order(QStringLiteral("push x\\t12:34\\t01:02:03\\t00:10\\trepeat\\tTitle"));
        QTRY_COMPARE(infoLabels(), QStringList({"12:34", "01:02", "00:10", "rep", "Title"}));
        // A record without a tab changes nothing; the next one shows it was handled in between.
        player->order(QStringLiteral("push no tab at all"));
        player->order(QStringLiteral("push x\\t99:99"));
        QTRY_COMPARE(infoLabels(), QStringList({"99:99", "01:02", "00:10", "rep", "Title"}));
        // Opening a library clears them; a stopped timer shows the tip length.
        settings().TipTime = 30;
        m_window->libraryCommands().OpenSequenceMdbFile(m_library, QString());
        QCOMPARE(infoLabels(), QStringList(5));
        QCOMPARE(label(QStringLiteral("lblTipTime")), QStringLiteral("30:00"));
    }

    // A hung player: the window goes on with its work and the state label falls back.
    void hungPlayer() {
        const auto player = startWithPlayer();
        QVERIFY(player);
        player->order(QStringLiteral("hang 2500"));
        QVERIFY(player->waitForLine(QStringLiteral("hanging")));
        QTRY_COMPARE(label(QStringLiteral("lblVornMP_State")), kNoPlayer);
        QVERIFY(!player->lines().contains(QStringLiteral("awake")));
        m_window->callList().setCurrentRow(2);
        press(QStringLiteral("P"));
        QTest::keyClick(m_window->callList().grid(), Qt::Key_Up);
        QCOMPARE(m_window->callList().currentRow(), 1);
        QVERIFY(!player->lines().contains(QStringLiteral("awake")));
        QVERIFY(player->waitForLine(QStringLiteral("awake")));
        QTRY_COMPARE(label(QStringLiteral("lblVornMP_State")), QStringLiteral("Stand-in Stop"));
        QCOMPARE(player->playerLines(), QStringList({"hanging", "awake", "Command 0x8008"}));
    }

    void mprisPlayer() {
        QVERIFY(start({"linux.Plus"}));
        QVERIFY(focus(m_window->callList().grid()));
        StandinProcess player(QStringLiteral(VORN_MPRIS_STANDIN), {"--title", "Mpris Song", "--length", "90"});
        QVERIFY(player.ready());
        QTRY_COMPARE(label(QStringLiteral("lblVornMP_State")), QStringLiteral("MPRIS Stand-in: Stopped"));
        QTRY_COMPARE(infoLabels(), QStringList({"00:00", "01:30", "01:30", "", "Mpris Song"}));
        press(QStringLiteral("PRS"));
        QVERIFY(player.waitForLine(QStringLiteral("Stop")));
        QCOMPARE(player.lines().mid(1), QStringList({"PlayPause", "LoopStatus Track", "Stop"}));
        QTRY_COMPARE(infoLabels()[3], QStringLiteral("rep"));
    }

    // An assigned cursor key acts as the arrow in the focused list, beside its own record.
    void cursorKeys() {
        const auto player = startWithPlayer();
        QVERIFY(player);
        assign(0, QStringLiteral("L"));
        assign(2, QStringLiteral("{F2}"));
        m_window->callList().setCurrentRow(2);
        press(QStringLiteral("L"));
        QCOMPARE(m_window->callList().currentRow(), 1);
        QTest::keyClick(m_window->callList().grid(), Qt::Key_F2);
        QCOMPARE(m_window->callList().currentRow(), 2);
        // "(" has the code of the Down key: Down stays Down.
        assign(2, QStringLiteral("("));
        QTest::keyClick(m_window->callList().grid(), Qt::Key_Down);
        QCOMPARE(m_window->callList().currentRow(), 3);
        QCOMPARE(player->playerLines(), QStringList({"Command 0x800a"}));
        // H adds history to the shown sequence.
        press(QStringLiteral("H"));
        QCOMPARE(m_dialogs->proposals.size(), 1);
    }

    void openerSkip_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("to");
        QTest::newRow("down to the next opener") << 0 << false << 3;
        QTest::newRow("down past the current opener") << 3 << false << 7;
        QTest::newRow("no opener below") << 7 << false << 7;
        QTest::newRow("shift searches upward") << 7 << true << 3;
        QTest::newRow("no opener above") << 3 << true << 3;
        QTest::newRow("from between upward") << 5 << true << 3;
    }
    void openerSkip() {
        QFETCH(int, from);
        QFETCH(bool, shift);
        QVERIFY(start({"linux.Plus"}));
        QVERIFY(focus(m_window->sequenceList().view()));
        SequenceListModel* model = m_window->sequenceList().model();
        QVERIFY(model->rowCount() > 8);
        model->setProperties({3, 7}, 11);
        model->setProperties({5}, 10);
        m_window->sequenceList().setCurrentRow(from);
        QTest::keyClick(m_window->sequenceList().view(), Qt::Key_O, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QTEST(m_window->sequenceList().currentRow(), "to");
    }
};

QTEST_MAIN(TestKeyDispatch)
#include "TestKeyDispatch.moc"
