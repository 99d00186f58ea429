#pragma once

#include "FontSetting.h"

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

// Every persistent option of the program with its built-in default. The INI file and the
// library's tblSetting reach it only through modSetting.
struct Settings {
    Settings();

    // The INI file; a name without a folder is in the application home.
    QString IniFile = QStringLiteral("VornReader.ini");

    QString Language = QStringLiteral("Japanese");
    // The language chosen in the options for the next start ("English" or "Japanese"); empty
    // while none was chosen. The running program keeps Language.
    QString LanguageNext;
    QString MdbPath;
    QString MdbFile = QStringLiteral("VornReader.mdb");
    QString SeqPath;
    std::array<QString, RecentFileMax> RecentFile;
    qint16 RecentFileCnt = 5;
    int ViewSwitch = 0;
    int SettingSwitch = 1;
    bool HexMode = false;
    bool HexSwitch = false;
    bool SeqDateSave = false;
    QString FuncKey;

    FormGeometry mainForm{0, 0, 9000, 6000};
    // The INI file held the main window's geometry (on a first start it does not).
    bool mainFormSaved = false;
    int SplitLeft1 = 2550;
    int SplitLeft2 = 5000;
    FormGeometry previewForm{0, 0, 6000, 6000};

    // Page setup: margins in millimetres, PaperSize as a Windows paper code (9 = A4), PaperBin 7
    // (automatic), Orientation 1 portrait or 2 landscape.
    double MarginLeft = 10;
    double MarginTop = 10;
    double MarginRight = 10;
    double MarginBottom = 10;
    int PaperSize = 9;
    int PaperBin = 7;
    int Orientation = 1;

    // Display settings: in the INI section "Setting" or in tblSetting, as SettingSwitch says.
    FontSetting callFont{14, QStringLiteral("Arial"), true, false};
    FontSetting seqFont{10, QStringLiteral("Arial"), true, false};
    FontSetting printFont{12, QStringLiteral("Arial"), true, false};
    quint32 CallForeColor = SystemWindowText;
    quint32 CallBackColor = SystemWindow;
    quint32 CallForeColorSel = SystemHighlightText;
    quint32 CallBackColorSel = SystemHighlight;
    quint32 SeqForeColor = SystemWindowText;
    quint32 SeqBackColor = SystemWindow;
    quint32 SeqForeColorSel = SystemHighlightText;
    quint32 SeqBackColorSel = SystemHighlight;
    // Records 0-3 KeyCustom1-4, 4-10 KeyVornMP1-7, 11-13 KeyOther1-3.
    std::array<KeyAssignment, KeyTableSize> keyTable;
    int SequenceSort = 0;
    int CallRowMargin = 0;
    QString PartyName;
    QString Author;
    int NotePrint = 0;
    int FormationPrint = 1;
    int TipTime = 12;
    int TimerSwitch = 0;
    int PartFormat = 0;

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

// The settings key of key table record 0-13 ("KeyCustom1" ... "KeyOther3").
QString keySettingName(int record);
// Its built-in key text ("" for the custom keys, "L", "U", ... "O" for the others).
QString keyDefaultText(int record);

// The program's one set of settings.
Settings& settings();
