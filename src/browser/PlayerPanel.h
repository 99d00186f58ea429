#pragma once

#include "SteadyClock.h"
#include "TipTimer.h"
#include "TrackInfoRecord.h"

#include <QObject>
#include <QPointer>
#include <array>

class IMonotonicClock;
class QGridLayout;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;
class VornMPLink;
struct Settings;

// The player's line in the call list's header: the player state and the five track labels, the
// tip-timer button and the tip time in large digits, with the status timer (300 ms, for the whole
// life of the window) and the tip timer (once a second while the tip runs).
class PlayerPanel : public QObject {
    Q_OBJECT

public:
    // link: the music player link (nullptr: one on the session bus). clock: the tip timer's clock
    // (nullptr: the system's monotonic clock).
    explicit PlayerPanel(Settings& settings, VornMPLink* link = nullptr, const IMonotonicClock* clock = nullptr,
                         QObject* parent = nullptr);
    ~PlayerPanel() override;

    QWidget* widget() const { return m_widget; }
    VornMPLink& link() { return *m_link; }

    // A player command, and the switch of the tip timer here and in the other running copies.
    void SendVornMP(quint32 command);
    void switchTipTimerEverywhere();

    void toggleTipTimer();
    void tipTimerClicked();
    void startTipTimer();
    void resetTipTimer();
    void tipTimerTick();
    void pollPlayerState();

    // A library was opened: the track labels are cleared; a stopped timer shows the full tip.
    void libraryOpened();
    // The tip length or direction changed: a stopped timer shows the new full tip.
    void resetIfStopped();
    // The track labels are cleared.
    void clearTrackInfo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidget();
    // Places the controls side by side, or stacked for a narrow pane.
    void arrange(bool narrow);
    // The width the title keeps beside the button, and the width the line needs side by side.
    int titleRoom() const;
    int wideWidth() const;
    void showTipTime();
    void showTrackInfo(const TrackInfoLabels& labels);

    Settings& m_settings;
    SteadyClock m_steadyClock;
    TipTimer m_tip;
    VornMPLink* m_link = nullptr;
    QPointer<QWidget> m_widget;
    QGridLayout* m_layout = nullptr;
    bool m_narrow = false;
    QLabel* m_state = nullptr;
    std::array<QLabel*, 5> m_info{};
    QPushButton* m_button = nullptr;
    QLabel* m_time = nullptr;
    QTimer* m_stateTimer = nullptr;
    QTimer* m_tipTimer = nullptr;
    bool m_tipMouseFlag = false;
};
