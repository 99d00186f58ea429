#pragma once

#include "ErrorInfo.h"

#include <QList>
#include <QString>
#include <utility>

class SettingTable;
struct Settings;

// The display settings (fonts, colours, keys, print, list and timer options): the same keys and
// text forms in the INI section "Setting" and in a library's tblSetting.
namespace DisplaySettings {

inline constexpr char16_t IniSection[] = u"Setting";

// Every display setting as key and text, in the order they are written: the call, sequence and
// print fonts, the eight colours, the 14 key texts, then the list, print and timer options.
QList<std::pair<QString, QString>> texts(const Settings& settings);

// Reads the display settings from tblSetting of table, or from the INI section "Setting" when
// table is null; missing keys give the built-in defaults. Options are set as they are read, the
// key table next, then fonts (clamped to 7-50 points) and colours. A value that cannot be read (a
// number that is none or does not fit, a colour text that is no colour) takes its default alone
// and comes back in the returned list of problems; every other key is read as stored.
QList<ErrorInfo> read(Settings& settings, const SettingTable* table);

} // namespace DisplaySettings
