#pragma once

#include "FontSetting.h"
#include "PageSetup.h"

#include <QString>
#include <array>

// One record of the key table: the key as the user wrote it and the Windows virtual-key codes it
// stands for. Only the first Count entries of Codes are valid; the rest keep older values.
struct KeyAssignment {
    QString Text;
    std::array<qint16, 10> Codes{};
    qint16 Count = 0;
};

// A window's position and size in twips.
struct FormGeometry {
    int FormLeft = 0;
    int FormTop = 0;
    int FormWidth = 0;
    int FormHeight = 0;
};

inline constexpr int RecentFileMax = 20;
inline constexpr int FuncFileCount = 27;
inline constexpr int ViewLevelMax = 20;
inline constexpr int KeyTableSize = 14;
inline constexpr int NotCalledWeeksMax = 520;

// Colours are 0x00BBGGRR, or 0x80000000 + n for system colour n.
inline constexpr quint32 SystemWindowText = 0x80000008;
inline constexpr quint32 SystemWindow = 0x80000005;
inline constexpr quint32 SystemHighlightText = 0x8000000E;
inline constexpr quint32 SystemHighlight = 0x8000000D;

// Every persistent option of the program. The INI file and the library's tblSetting reach it
// only through modSetting; the keys' names and built-in defaults are those of SettingKeys, which
// the constructor puts in.
struct Settings {
    Settings();

    // The INI file; a name without a folder is in the application home.
    QString IniFile = QStringLiteral("VornReader.ini");

    QString Language;
    // The language chosen in the options for the next start ("English" or "Japanese"); empty
    // while none was chosen. The running program keeps Language.
    QString LanguageNext;
    QString MdbPath;
    QString MdbFile;
    QString SeqPath;
    std::array<QString, RecentFileMax> RecentFile;
    qint16 RecentFileCnt{};
    int ViewSwitch{};
    int SettingSwitch{};
    bool HexMode{};
    bool HexSwitch{};
    bool SeqDateSave{};
    QString FuncKey;

    FormGeometry mainForm;
    // The INI file held the main window's geometry (on a first start it does not).
    bool mainFormSaved = false;
    int SplitLeft1{};
    int SplitLeft2{};
    FormGeometry previewForm;

    PageSetup pageSetup;

    // Display settings: in the INI section "Setting" or in tblSetting, as SettingSwitch says.
    FontSetting callFont;
    FontSetting seqFont;
    FontSetting printFont;
    quint32 CallForeColor{};
    quint32 CallBackColor{};
    quint32 CallForeColorSel{};
    quint32 CallBackColorSel{};
    quint32 SeqForeColor{};
    quint32 SeqBackColor{};
    quint32 SeqForeColorSel{};
    quint32 SeqBackColorSel{};
    // Records 0-3 KeyCustom1-4, 4-10 KeyVornMP1-7, 11-13 KeyOther1-3.
    std::array<KeyAssignment, KeyTableSize> keyTable;
    int SequenceSort{};
    int CallRowMargin{};
    QString PartyName;
    QString Author;
    int NotePrint{};
    int FormationPrint{};
    int TipTime{};
    int TimerSwitch{};
    int PartFormat{};

    // The sequence list's filter "Not called for" (INI, section "VornReader"): whether it is on,
    // the party (or any party) and the period in weeks up to today.
    bool NotCalledFor = false;
    bool NotCalledAnyParty = false;
    QString NotCalledParty;
    int NotCalledWeeks = 8;

    // Only in the INI section "Setting".
    std::array<QString, FuncFileCount> FuncFile;

    // Only in tblSetting: the level shown last and, per level menu item, the remembered
    // sequence-list position and call-list row.
    QString ViewLevel;
    std::array<qint32, ViewLevelMax> ViewIndex{};
    std::array<qint32, ViewLevelMax> ViewRow{};

    // The date new history entries get, "yyyy/MM/dd"; today when a library is read.
    QString CallDate;
};

// The program's one set of settings.
Settings& settings();
