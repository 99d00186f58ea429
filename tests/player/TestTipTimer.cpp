#include "FakeClock.h"
#include "TipTimer.h"

#include <QTest>

Q_DECLARE_METATYPE(TipColour)

class TestTipTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reset_data() {
        QTest::addColumn<int>("tipTime");
        QTest::addColumn<int>("timerSwitch");
        QTest::addColumn<QString>("text");
        QTest::newRow("12 minutes") << 12 << 0 << "12:00";
        QTest::newRow("below ten with a leading zero") << 5 << 0 << "05:00";
        QTest::newRow("last two digits of 120 minutes") << 120 << 0 << "20:00";
        QTest::newRow("time passed starts at zero") << 12 << 1 << "00:00";
    }
    void reset() {
        QFETCH(int, tipTime);
        QFETCH(int, timerSwitch);
        FakeClock clock;
        TipTimer timer(clock);
        // A tip that ran over first: the reset makes it black again.
        timer.start(1);
        clock.now = 90'000;
        timer.tick(timerSwitch);
        QCOMPARE(timer.colour(), TipColour::Red);
        timer.reset(tipTime, timerSwitch);
        QTEST(timer.text(), "text");
        QCOMPARE(timer.colour(), TipColour::Black);
        QVERIFY(!timer.isRunning());
    }

    // The label after a tick, elapsed milliseconds after the start.
    void tick_data() {
        QTest::addColumn<int>("tipTime");
        QTest::addColumn<int>("timerSwitch");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TipColour>("colour");
        const qint64 tip = 12 * 60'000;
        QTest::newRow("one second") << 12 << 0 << 0LL << 1'000LL << "11:59" << TipColour::Black;
        QTest::newRow("two minutes left") << 12 << 0 << 0LL << tip - 120'000 << "02:00" << TipColour::Black;
        QTest::newRow("blue at 01:59 left") << 12 << 0 << 0LL << tip - 119'000 << "01:59" << TipColour::Blue;
        QTest::newRow("end of the tip") << 12 << 0 << 0LL << tip << "00:00" << TipColour::Blue;
        QTest::newRow("red at the first second over") << 12 << 0 << 0LL << tip + 1'000 << "00:01" << TipColour::Red;
        QTest::newRow("then counts up") << 12 << 0 << 0LL << tip + 2'000 << "00:02" << TipColour::Red;
        QTest::newRow("passed: one second") << 12 << 1 << 0LL << 1'000LL << "00:01" << TipColour::Black;
        QTest::newRow("passed: blue two minutes before")
            << 12 << 1 << 0LL << tip - 119'000 << "10:01" << TipColour::Blue;
        QTest::newRow("passed: red after the tip") << 12 << 1 << 0LL << tip + 1'000 << "12:01" << TipColour::Red;
        QTest::newRow("120 minutes show the last two digits")
            << 120 << 0 << 0LL << 1'000LL << "19:59" << TipColour::Black;
        // 600 minutes do not fit in 16 bits of seconds.
        QTest::newRow("a 600-minute tip") << 600 << 0 << 0LL << 1'000LL << "99:59" << TipColour::Black;
        // The clock counts on from days before: nothing wraps at midnight.
        QTest::newRow("across midnight") << 12 << 0 << 86'370'000LL * 3 << 60'000LL << "11:00" << TipColour::Black;
        QTest::newRow("1.499 s rounds down") << 12 << 0 << 0LL << 1'499LL << "11:59" << TipColour::Black;
        QTest::newRow("1.5 s rounds to the even 2") << 12 << 0 << 0LL << 1'500LL << "11:58" << TipColour::Black;
        QTest::newRow("2.5 s rounds to the even 2") << 12 << 0 << 0LL << 2'500LL << "11:58" << TipColour::Black;
        QTest::newRow("2.501 s rounds up") << 12 << 0 << 0LL << 2'501LL << "11:57" << TipColour::Black;
    }
    void tick() {
        QFETCH(int, tipTime);
        QFETCH(int, timerSwitch);
        QFETCH(qint64, start);
        QFETCH(qint64, elapsed);
        FakeClock clock;
        clock.now = start;
        TipTimer timer(clock);
        timer.reset(tipTime, timerSwitch);
        timer.start(tipTime);
        QVERIFY(timer.isRunning());
        QCOMPARE(timer.tipLimit(), tipTime * 60);
        clock.now = start + elapsed;
        timer.tick(timerSwitch);
        QTEST(timer.text(), "text");
        QTEST(timer.colour(), "colour");
    }
};

QTEST_GUILESS_MAIN(TestTipTimer)
#include "TestTipTimer.moc"
