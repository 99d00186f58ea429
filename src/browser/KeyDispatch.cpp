#include "KeyDispatch.h"

#include "BrowserState.h"
#include "CallList.h"
#include "GridView.h"
#include "SequenceList.h"
#include "Settings.h"
#include "VirtualKeys.h"

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

bool KeyDispatch::Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers) {
    if (m_state.cellEdit || editorHasFocus()) {
        return false;
    }
    if (keyCode >= 49 && keyCode <= 57 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        const int index = keyCode - 49 + ((modifiers & Qt::ShiftModifier) ? 9 : 0);
        if (index < 14 && onStateKey) {
            onStateKey(index);
        }
        return true;
    }
    if (keyCode == 48 && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        if (onDeleteKey) {
            onDeleteKey();
        }
        return true;
    }
    if (keyCode == 'A' && (modifiers & Qt::ControlModifier) && m_sequences.view()->hasFocus()) {
        m_sequences.view()->selectAll();
        return true;
    }
    if (keyCode == VirtualKeys::Pause && m_settings.HexSwitch) {
        m_settings.HexMode = !m_settings.HexMode;
        m_calls.DisplayCallDetail();
        return true;
    }
    return false;
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
        const auto* key = static_cast<QKeyEvent*>(event);
        return Form_KeyDown(VirtualKeys::fromKeyEvent(*key), key->modifiers());
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
