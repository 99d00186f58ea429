#include "TipTimer.h"

#include "IMonotonicClock.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// The tip length in seconds, held in 32 bits: lengths beyond that are cut to the largest one.
qint32 limitOf(int tipTime) {
    const qint64 seconds = qint64(tipTime) * 60;
    constexpr qint64 low = std::numeric_limits<qint32>::min();
    constexpr qint64 high = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::clamp(seconds, low, high));
}

} // namespace

TipTimer::TipTimer(const IMonotonicClock& clock) : m_clock(clock) {}

void TipTimer::start(int tipTime) {
    m_running = true;
    m_start = m_clock.milliseconds();
    m_tipLimit = limitOf(tipTime);
}

void TipTimer::reset(int tipTime, int timerSwitch) {
    m_running = false;
    m_text = timerSwitch == 0 ? minutesSeconds(qint64(tipTime) * 60) : QStringLiteral("00:00");
    m_colour = TipColour::Black;
}

void TipTimer::setTipLimit(int tipTime) {
    m_tipLimit = limitOf(tipTime);
}

void TipTimer::tick(int timerSwitch) {
    const qint64 elapsed = roundedSeconds(m_clock.milliseconds() - m_start);
    const qint64 left = m_tipLimit - elapsed;
    m_text = minutesSeconds(timerSwitch == 0 ? left : elapsed);
    if (left < 0) {
        m_colour = TipColour::Red;
    } else if (left < 120) {
        m_colour = TipColour::Blue;
    }
}

qint64 TipTimer::roundedSeconds(qint64 milliseconds) {
    qint64 seconds = milliseconds / 1000;
    qint64 rest = milliseconds % 1000;
    if (rest < 0) {
        seconds -= 1;
        rest += 1000;
    }
    if (rest > 500 || (rest == 500 && seconds % 2 != 0)) {
        seconds += 1;
    }
    return seconds;
}

QString TipTimer::minutesSeconds(qint64 seconds) {
    const qint64 shown = std::llabs(seconds);
    return QStringLiteral("%1:%2")
        .arg(shown / 60 % 100, 2, 10, QLatin1Char('0'))
        .arg(shown % 60, 2, 10, QLatin1Char('0'));
}
