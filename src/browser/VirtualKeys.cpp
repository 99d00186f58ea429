#include "VirtualKeys.h"

#include <QKeyEvent>

namespace VirtualKeys {

int fromQtKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return 48 + (key - Qt::Key_0);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return 65 + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 112 + (key - Qt::Key_F1);
    }
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter;
    case Qt::Key_Pause:
        return Pause;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return Space;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return Left;
    case Qt::Key_Up:
        return Up;
    case Qt::Key_Right:
        return Right;
    case Qt::Key_Down:
        return Down;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int fromKeyEvent(const QKeyEvent& event) {
    // Shift+1 arrives as "!" on most layouts; the digit keys are told by their native key too.
    const int code = fromQtKey(event.key());
    if (code != 0) {
        return code;
    }
    const quint32 native = event.nativeVirtualKey();
    if (native >= '0' && native <= '9') {
        return static_cast<int>(native);
    }
    static const char shifted[] = ")!@#$%^&*(";
    for (int digit = 0; digit < 10; ++digit) {
        if (event.key() == shifted[digit]) {
            return 48 + digit;
        }
    }
    return 0;
}

int toQtKey(int virtualKey) {
    switch (virtualKey) {
    case Left:
        return Qt::Key_Left;
    case Up:
        return Qt::Key_Up;
    case Right:
        return Qt::Key_Right;
    case Down:
        return Qt::Key_Down;
    case Enter:
        return Qt::Key_Return;
    default:
        return 0;
    }
}

} // namespace VirtualKeys
