// Times the player link's status tick on the window's thread: with no player on the bus, with the
// stand-in player answering (the tick itself, and the round trip until its answer is shown), and
// the longest the window's event loop stood still while the stand-in hung for three seconds. The
// run always takes a private session bus of its own (it starts itself again under
// dbus-run-session), so it never reaches the desktop's players.

#include "BenchSupport.h"
#include "PlayerPanel.h"
#include "Settings.h"
#include "VornMPLink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kIdleTicks = 20000;
constexpr int kPlayerTicks = 2000;
constexpr int kHangMs = 3000;
constexpr double kBlockTargetMs = 100;

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the event loop until done() or the time is up.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The stand-in player with its output lines.
class Standin {
public:
    Standin() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
            }
        });
        m_process.start(QStringLiteral(VORN_VORNMP_STANDIN), {});
        if (!runUntil([this] { return m_lines.contains(QStringLiteral("ready")); }, 5000)) {
            fail(QStringLiteral("the stand-in player did not start"));
        }
    }
    ~Standin() {
        m_process.closeWriteChannel();
        m_process.waitForFinished(5000);
    }
    void order(const QString& line) { m_process.write(line.toUtf8() + '\n'); }
    bool saw(const QString& line) const { return m_lines.contains(line); }

private:
    QProcess m_process;
    QStringList m_lines;
};

// The longest gap between the turns of a 1 ms timer while the event loop runs for that long.
double longestStall(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    probe.start();
    runUntil([&] { return clock.elapsed() >= milliseconds; }, milliseconds + 1000);
    return double(longest) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("VORN_BENCH_PRIVATE_BUS")) {
        qputenv("VORN_BENCH_PRIVATE_BUS", "1");
        std::vector<char*> arguments{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        arguments.insert(arguments.end(), argv, argv + argc);
        arguments.push_back(nullptr);
        execvp("dbus-run-session", arguments.data());
        fail(QStringLiteral("cannot start dbus-run-session"));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TempHome home;
    FailOnErrorReport failOnError;
    Settings settings;
    PlayerPanel panel(settings);
    auto* state = panel.widget()->findChild<QLabel*>(QStringLiteral("lblVornMP_State"));
    VornMPLink& link = panel.link();

    // No player: the tick looks the player up among the names it follows and sets the label.
    std::vector<double> idle;
    for (int i = 0; i < kIdleTicks; ++i) {
        idle.push_back(timed([&] { panel.pollPlayerState(); }).wall * 1000);
    }

    Standin player;
    if (!runUntil([&] { return link.playerPresent(); }, 5000)) {
        fail(QStringLiteral("the link did not see the stand-in player"));
    }
    std::vector<double> tick;
    std::vector<double> roundTrip;
    int answers = 0;
    QObject::connect(&link, &VornMPLink::statusRead, [&](bool found, const QString&) { answers += found ? 1 : 0; });
    for (int i = 0; i < kPlayerTicks; ++i) {
        const int before = answers;
        QElapsedTimer clock;
        clock.start();
        tick.push_back(timed([&] { panel.pollPlayerState(); }).wall * 1000);
        if (!runUntil([&] { return answers > before; }, 5000)) {
            fail(QStringLiteral("the stand-in player did not answer"));
        }
        roundTrip.push_back(double(clock.nsecsElapsed()) / 1000);
    }
    if (state->text() != QLatin1String("Stand-in Stop")) {
        fail(QStringLiteral("the state label shows \"%1\"").arg(state->text()));
    }

    // The status timer runs as in the window, every 300 ms, while the stand-in hangs.
    const double calm = longestStall(1500);
    player.order(QStringLiteral("hang %1").arg(kHangMs));
    if (!runUntil([&] { return player.saw(QStringLiteral("hanging")); }, 5000)) {
        fail(QStringLiteral("the stand-in did not hang"));
    }
    const double hung = longestStall(kHangMs - 200);
    const QString shownWhileHung = state->text();
    runUntil([&] { return player.saw(QStringLiteral("awake")); }, kHangMs + 5000);

    std::printf("bench_player: status tick, median over %d, µs: no player %.2f\n", kIdleTicks, medianOf(idle));
    std::printf("bench_player: status tick, median over %d, µs: with the stand-in player %.2f (tick), %.1f "
                "(round trip to the label)\n",
                kPlayerTicks, medianOf(tick), medianOf(roundTrip));
    std::printf("bench_player: longest event-loop stall, ms: player answering %.1f, player hung %.1f "
                "(target <= %.0f: %s); label while hung \"%s\"\n",
                calm, hung, kBlockTargetMs, verdict(hung <= kBlockTargetMs), qPrintable(shownWhileHung));
    return hung <= kBlockTargetMs ? 0 : 1;
}
