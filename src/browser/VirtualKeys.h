#pragma once

class QKeyEvent;

// The key numbers the program's key handling and the key settings use: the Windows virtual-key
// codes (digits 48-57, letters their upper-case code, F1 = 112 ... F12 = 123, Space 32, arrows
// 37-40, Pause 19, Enter 13).
namespace VirtualKeys {

constexpr int Enter = 13;
constexpr int Pause = 19;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;

// The virtual-key code of a key press; 0 for keys that have none.
int fromKeyEvent(const QKeyEvent& event);
// The virtual-key code of a Qt::Key; 0 for keys that have none.
int fromQtKey(int key);
// The Qt::Key of a virtual-key code (the reverse, for keys a setting turns into arrows).
int toQtKey(int virtualKey);

} // namespace VirtualKeys
