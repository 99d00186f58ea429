#pragma once

#include <QObject>
#include <functional>

struct BrowserState;
class CallList;
class QWidget;
class SequenceList;
struct Settings;

// The form-wide keys and the wheel: an application event filter that sees every key of the main
// window before the focused control, and turns wheel turns over the grids into row moves.
class KeyDispatch : public QObject {
    Q_OBJECT

public:
    KeyDispatch(QWidget* window, Settings& settings, BrowserState& state, SequenceList& sequences, CallList& calls,
                QObject* parent = nullptr);

    // Keys 1-9 and Shift+1-5 (state index 0-13) and key 0 (delete).
    std::function<void(int)> onStateKey;
    std::function<void()> onDeleteKey;
    // The key table's actions: a player command, the tip-timer switch here and in the other
    // running copies, a history entry for the selected sequences.
    std::function<void(quint32)> onPlayerCommand;
    std::function<void()> onTipTimerSwitch;
    std::function<void()> onAddHistory;

    // The main window's keys: true when the key was taken. The cursor records of the key table
    // replace keyCode with an arrow key, which the focused control then receives.
    bool dispatchKey(int& keyCode, Qt::KeyboardModifiers modifiers);
    // The key table's records compared with keyCode: true when one of them acted on the key (an
    // arrow put into keyCode does not count).
    bool dispatchKeyTable(int& keyCode, Qt::KeyboardModifiers modifiers);
    // Makes the next sequence with the opener state current (upwards with Shift alone).
    void OpenerSkip(Qt::KeyboardModifiers modifiers);
    // A wheel turn: over the call grid (kind 0) or the sequence grid and the window (kind 1).
    void wheelMove(bool down, int kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True while the keys belong to what has the focus: an open cell editor (of any grid), a text
    // box, or a hexagon-offset grid.
    bool editorHasFocus() const;

    QWidget* m_window;
    Settings& m_settings;
    BrowserState& m_state;
    SequenceList& m_sequences;
    CallList& m_calls;
    // True while a replaced key travels to the focused control.
    bool m_resending = false;
};
