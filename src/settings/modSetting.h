#pragma once

#include <QStringList>

class Database;
struct Settings;

// Moves the settings between the INI file, the open library's tblSetting and memory. Each
// procedure reports its own failures through the error log and returns; values handled before a
// failure keep their new state.
namespace modSetting {

// INI file to memory: the program's paths, recent files, switches, window and preview geometry
// (twips), page setup, splitter positions and the database-switch paths. Paper size, bin and
// orientation default to the values settings already holds, so the system's printer defaults can
// be put in first.
void ReadIniVornReader(Settings& settings);

// Memory to the INI file, the database-switch paths included. A minimised main window leaves its
// geometry and splitter keys as they are. Language is not written here (see WriteLanguage).
void WriteIniVornReader(const Settings& settings, bool mainWindowMinimised);

// The language chosen in the options (LanguageNext) to the INI file at once, so the next start
// speaks it even when this run ends without writing its settings. Nothing when none was chosen.
void WriteLanguage(const Settings& settings);

// After a library has been opened: the database-switch paths from the INI file, the view level
// and the per-level positions from tblSetting, then the display settings from the INI section
// "Setting" (SettingSwitch 0) or from tblSetting (otherwise); the history date becomes today.
// levelCaptions are the captions of the level menu items in index order.
void ReadIniMdbVornReader(Settings& settings, Database& db, const QStringList& levelCaptions);

// Before a library is closed: the display settings and the database-switch paths to the INI
// section "Setting"; then, when a library is open, the view level and the positions of levels
// whose ViewIndex is above 0 to its tblSetting, and with SettingSwitch 1 the display settings
// too, which are also copied into the template library when it exists.
void WriteIniMdbVornReader(const Settings& settings, Database* db, const QStringList& levelCaptions);

} // namespace modSetting
