#pragma once

#include <QObject>
#include <functional>

class BrowserState;
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

    // Form_KeyDown: true when the key was taken.
    bool Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers);
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
};
