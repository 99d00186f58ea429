#include "KeyDispatch.h"

#include "BrowserState.h"
#include "CallList.h"
#include "GridView.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "VirtualKeys.h"
#include "VornMPCommands.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWheelEvent>
#include <QWidget>

KeyDispatch::KeyDispatch(QWidget* window, Settings& settings, BrowserState& state, SequenceList& sequences,
                         CallList& calls, QObject* parent)
    : QObject(parent), m_window(window), m_settings(settings), m_state(state), m_sequences(sequences), m_calls(calls) {
    qApp->installEventFilter(this);
}

bool KeyDispatch::editorHasFocus() const {
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        const auto* grid = qobject_cast<const GridView*>(widget);
        if (grid && grid->isEditing()) {
            return true;
        }
    }
    return qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) ||
           qobject_cast<QAbstractSpinBox*>(focus) || m_calls.isHexGrid(focus);
}

bool KeyDispatch::dispatchKey(int& keyCode, Qt::KeyboardModifiers modifiers) {
    if (m_state.cellEdit || editorHasFocus()) {
        return false;
    }
    bool taken = false;
    const int key = keyCode;
    if (key >= 49 && key <= 57 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        const int index = key - 49 + ((modifiers & Qt::ShiftModifier) ? 9 : 0);
        if (index < 14 && onStateKey) {
            onStateKey(index);
        }
        taken = true;
    } else if (key == 48 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        if (onDeleteKey) {
            onDeleteKey();
        }
        taken = true;
    } else if (key == 'A' && (modifiers & Qt::ControlModifier) && m_sequences.view()->hasFocus()) {
        m_sequences.view()->selectAll();
        taken = true;
    } else if (key == VirtualKeys::Pause && m_settings.HexSwitch) {
        m_settings.HexMode = !m_settings.HexMode;
        m_calls.DisplayCallDetail();
        taken = true;
    }
    // The user's keys come last and may act on a key taken above as well.
    return dispatchKeyTable(keyCode, modifiers) || taken;
}

bool KeyDispatch::dispatchKeyTable(int& keyCode, Qt::KeyboardModifiers modifiers) {
    // Records 0-3 turn the key into an arrow; 4-10 send the player commands in this order.
    constexpr int kArrows[4] = {VirtualKeys::Up, VirtualKeys::Left, VirtualKeys::Down, VirtualKeys::Right};
    constexpr quint32 kCommands[7] = {VornMP::Load,   VornMP::UnLoad,   VornMP::Play, VornMP::Repeat,
                                      VornMP::Rewind, VornMP::TipTimer, VornMP::Reset};
    const int key = keyCode;
    bool acted = false;
    for (int record = 0; record < KeyTableSize; ++record) {
        const KeyAssignment& assignment = m_settings.keyTable[record];
        // Only the first code counts; a cleared key (no codes) keeps an old first code that must not fire.
        if (key == 0 || assignment.Count == 0 || assignment.Codes[0] != key) {
            continue;
        }
        // A record that acts takes the key from the focused control, whose grid would otherwise search
        // for its letter; a cursor record passes its arrow on instead.
        acted = acted || record >= 4;
        if (record < 4) {
            keyCode = kArrows[record];
        } else if (record < 11) {
            if (onPlayerCommand) {
                onPlayerCommand(kCommands[record - 4]);
            }
            if (record == 9 && onTipTimerSwitch) {
                onTipTimerSwitch();
            }
        } else if (record == 11) {
            if (onTipTimerSwitch) {
                onTipTimerSwitch();
            }
        } else if (record == 12) {
            if (onAddHistory) {
                onAddHistory();
            }
        } else {
            OpenerSkip(modifiers);
        }
    }
    return acted;
}

void KeyDispatch::OpenerSkip(Qt::KeyboardModifiers modifiers) {
    // The opener is state 11 (the picture image 15 of the state icons).
    constexpr int kOpener = 11;
    const int step = (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier ? -1 : 1;
    const SequenceListModel* model = m_sequences.model();
    for (int row = m_sequences.currentRow() + step; row >= 0 && row < model->rowCount(); row += step) {
        if (model->row(row).property == kOpener) {
            m_sequences.setCurrentRow(row);
            return;
        }
    }
}

void KeyDispatch::wheelMove(bool down, int kind) {
    if (m_state.callGridButton == 0 && kind == 0) {
        const int row = m_calls.currentRow();
        if (down) {
            if (!m_calls.MoveCallRow(1) && row < m_calls.rowCount() - 1) {
                m_calls.setCurrentRow(row + 1);
            }
        } else if (!m_calls.MoveCallRow(-1) && row > 0) {
            m_calls.setCurrentRow(row - 1);
        }
        return;
    }
    const int row = m_sequences.currentRow();
    if (down && row < m_sequences.rowCount() - 1) {
        m_sequences.setCurrentRow(row + 1);
    } else if (!down && row > 0) {
        m_sequences.setCurrentRow(row - 1);
    }
}

bool KeyDispatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::Wheel) {
        return QObject::eventFilter(watched, event);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window || QApplication::activeModalWidget()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        // Only the first delivery counts: a key not taken here travels on to the parents.
        if (widget != QApplication::focusWidget() && widget != m_window) {
            return false;
        }
        if (m_resending) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const int pressed = VirtualKeys::fromKeyEvent(*key);
        int keyCode = pressed;
        const bool taken = dispatchKey(keyCode, key->modifiers());
        if (keyCode != pressed) {
            // The control receives the arrow instead of the key pressed.
            QKeyEvent arrow(QEvent::KeyPress, VirtualKeys::toQtKey(keyCode), key->modifiers());
            m_resending = true;
            QCoreApplication::sendEvent(widget, &arrow);
            m_resending = false;
            return true;
        }
        return taken;
    }
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->angleDelta().y() == 0) {
        return false;
    }
    const bool overCall = widget == m_calls.grid()->viewport() || widget == m_calls.grid();
    const bool overList = widget == m_sequences.view()->viewport() || widget == m_sequences.view();
    if (!overCall && !overList && widget != m_window) {
        return false;
    }
    wheelMove(wheel->angleDelta().y() < 0, overCall ? 0 : 1);
    return true;
}
