#pragma once

#include <QtGlobal>

// The command codes of the music player link: the player's commands are 16-bit codes
// sign-extended to 32 bits (high word 0xFFFF), and one code between running copies switches
// their tip timers.
namespace VornMP {

constexpr quint32 Play = 0xFFFF8008;
constexpr quint32 UnLoad = 0xFFFF8009;
constexpr quint32 Load = 0xFFFF800A;
constexpr quint32 Rewind = 0xFFFF800B;
constexpr quint32 Repeat = 0xFFFF800C;
constexpr quint32 TipTimer = 0xFFFF800D;
constexpr quint32 Reset = 0xFFFF8012;

constexpr quint32 TipTimerSwitch = 0xFFFF9001;

// The bus names: the companion player, and the prefix of every running copy's own name (followed
// by its process id).
inline constexpr char PlayerService[] = "org.vorn.MusicPlayer";
inline constexpr char PlayerInterface[] = "org.vorn.MusicPlayer";
inline constexpr char CopyServicePrefix[] = "org.vorn.VornReader.p";
inline constexpr char CopyInterface[] = "org.vorn.VornReader";
inline constexpr char MprisServicePrefix[] = "org.mpris.MediaPlayer2.";

} // namespace VornMP
