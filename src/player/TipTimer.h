#pragma once

#include <QString>

class IMonotonicClock;

// The colour of the tip time: black while the tip runs (and when stopped), blue in its last two
// minutes, red once it is over.
enum class TipColour { Black, Blue, Red };

// The tip timer's count: started, it measures the time since its start on a monotonic clock and
// shows the time left (or passed) as minutes and seconds. The window drives it once a second.
class TipTimer {
public:
    explicit TipTimer(const IMonotonicClock& clock);

    // Starts the tip now; its length is tipTime minutes.
    void start(int tipTime);
    // Stops the tip: the text shows the full tip (timerSwitch 0) or 00:00 (timerSwitch 1), black.
    void reset(int tipTime, int timerSwitch);
    // Sets the tip length without starting (the length a stopped timer starts from).
    void setTipLimit(int tipTime);
    // The once-a-second tick: text and colour for the time since the start.
    void tick(int timerSwitch);

    bool isRunning() const { return m_running; }
    QString text() const { return m_text; }
    TipColour colour() const { return m_colour; }
    // The tip length in seconds.
    qint32 tipLimit() const { return m_tipLimit; }

    // Whole seconds of a millisecond count, rounded to the nearest second (a half to the even one).
    static qint64 roundedSeconds(qint64 milliseconds);
    // "mm:ss" of a second count: its sign dropped, only the last two digits of the minutes.
    static QString minutesSeconds(qint64 seconds);

private:
    const IMonotonicClock& m_clock;
    bool m_running = false;
    qint64 m_start = 0;
    qint32 m_tipLimit = 0;
    QString m_text = QStringLiteral("00:00");
    TipColour m_colour = TipColour::Black;
};
