#pragma once

#include "ErrorInfo.h"

#include <QList>
#include <QString>
#include <utility>

class LibrarySettings;
struct Settings;

// Every persistent settings key once, with its INI section, name, type, default and range
// (SettingKeys.cpp holds the table). Reading and writing the INI file and a library's tblSetting
// walk that one table, so a key is added or given another default in one place.
namespace SettingKeys {

// The section of the display settings and the database-switch paths.
inline constexpr char16_t DisplaySection[] = u"Setting";

// The groups of keys, as the four procedures of modSetting move them.
enum Group {
    // The program's own keys: paths, recent files, switches, window geometry, page setup.
    Program = 1,
    // Fonts, colours, keys, list, print and timer options: in the INI section "Setting" or in
    // the library's tblSetting, as SettingSwitch says.
    Display = 2,
    // FuncFile1 ... FuncFile27 of the INI section "Setting", read and written with either group.
    SwitchFiles = 4,
};

// Every key's built-in default into settings.
void setDefaults(Settings& settings);

// The keys of groups from the INI file settings.IniFile into memory; a missing key gives its
// default. A display value that cannot be read (a colour text that is no colour) takes its
// default alone and comes back in the returned list of problems.
QList<ErrorInfo> readIni(Settings& settings, int groups);

// The keys of groups from memory into the INI file, all put on disk at once. A key whose text
// the file holds already is not written; Language is never written, and the main window's
// geometry not while it is minimised. Throws SettingError when the file cannot be written.
void writeIni(const Settings& settings, int groups, bool mainWindowMinimised = false);

// One key's text into the INI file when it differs from what the file holds; throws SettingError
// when the file cannot be written.
void writeIniText(const QString& iniFile, const QString& section, const QString& key, const QString& text);

// The display settings from a library's tblSetting; missing keys give the defaults. A value that
// cannot be read (a number that is none or does not fit its range, a colour text that is no
// colour) takes its default alone and comes back in the returned list of problems; every other
// key is read as stored.
QList<ErrorInfo> readLibrary(Settings& settings, const LibrarySettings& library);

// Every display setting as key and text, in the order they are written: the call, sequence and
// print fonts, the eight colours, the 14 key texts, then the list, print and timer options.
QList<std::pair<QString, QString>> displayTexts(const Settings& settings);

} // namespace SettingKeys
