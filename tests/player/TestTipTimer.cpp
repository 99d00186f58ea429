#include "FakeClock.h"
#include "TipTimer.h"

#include <QTest>

Q_DECLARE_METATYPE(TipColour)

class TestTipTimer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The label after a reset (of a tip that ran over first), then after a tick elapsed milliseconds
    // after the start.
    void tick_data() {
        QTest::addColumn<int>("tipTime");
        QTest::addColumn<int>("timerSwitch");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QString>("shown"); // after the reset, after the tick
        QTest::addColumn<TipColour>("colour");
        const auto row = [](const char* name, int tipTime, int timerSwitch, qint64 elapsed, const char* shown,
                            TipColour colour, qint64 start = 0) {
            QTest::newRow(name) << tipTime << timerSwitch << start << elapsed << QString(shown) << colour;
        };
        const qint64 tip = 12 * 60'000;
        using C = TipColour;
        row("one second, below ten with a leading zero", 5, 0, 1'000, "05:00 04:59", C::Black);
        row("two minutes left", 12, 0, tip - 120'000, "12:00 02:00", C::Black);
        row("blue at the end of the tip", 12, 0, tip, "12:00 00:00", C::Blue);
        row("red at the first second over", 12, 0, tip + 1'000, "12:00 00:01", C::Red);
        row("passed", 12, 1, 1'000, "00:00 00:01", C::Black);
        // 600 minutes do not fit in 16 bits of seconds; the minutes show their last two digits.
        row("a 600-minute tip", 600, 0, 1'000, "00:00 99:59", C::Black);
        // The clock counts on from days before: nothing wraps at midnight.
        row("across midnight", 12, 0, 60'000, "12:00 11:00", C::Black, 86'370'000LL * 3);
        row("1.5 s rounds to the even 2", 12, 0, 1'500, "12:00 11:58", C::Black);
        row("2.5 s rounds to the even 2", 12, 0, 2'500, "12:00 11:58", C::Black);
        row("2.501 s rounds up", 12, 0, 2'501, "12:00 11:57", C::Black);
    }
    void tick() {
        QFETCH(int, tipTime);
        QFETCH(int, timerSwitch);
        QFETCH(qint64, start);
        QFETCH(qint64, elapsed);
        FakeClock clock;
        clock.now = start - 90'000;
        TipTimer timer(clock);
        timer.start(1);
        clock.now = start;
        timer.tick(timerSwitch);
        // The reset makes it black again; a colour left over would show in the rows that stay black.
        timer.reset(tipTime, timerSwitch);
        const QString reset = timer.text();
        QVERIFY(!timer.isRunning());
        timer.start(tipTime);
        QCOMPARE(timer.tipLimit(), tipTime * 60);
        clock.now = start + elapsed;
        timer.tick(timerSwitch);
        QTEST(reset + QLatin1Char(' ') + timer.text(), "shown");
        QTEST(timer.colour(), "colour");
    }
};

QTEST_GUILESS_MAIN(TestTipTimer)
#include "TestTipTimer.moc"
