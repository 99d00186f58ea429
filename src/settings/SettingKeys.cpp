#include "SettingKeys.h"

#include "AppHome.h"
#include "IniFile.h"
#include "KeyCodeConvert.h"
#include "LibrarySettings.h"
#include "SettingText.h"
#include "Settings.h"
#include "modSystem.h"

#include <QDir>
#include <QRegularExpression>
#include <functional>
#include <limits>
#include <optional>
#include <variant>

namespace SettingKeys {

namespace {

enum class Type {
    // As stored.
    Text,
    // In the INI file through the integer reader (16 bits; anything beyond reads as 0); from a
    // library the leading number, which must lie in the range.
    Integer,
    // An Integer clamped into the range when read and before it is written.
    Count,
    // Window positions and sizes in twips, which pass 16 bits on wide and second screens: the
    // leading integer; no number gives 0, one beyond 32 bits the default.
    Whole,
    // "True" or "False"; true when the text is "True" in any letter case.
    Boolean,
    // The leading decimal number, fraction kept.
    Number,
    // A Number clamped into the range when read.
    FontSize,
    // "&H" and eight upper-case hexadecimal digits.
    Colour,
    // A key table record's text; its key codes follow from it.
    KeyText,
    // RecentFile1 ... RecentFileN, N = RecentFileCnt; written up to the first empty entry, so that
    // older keys after it stay in the file.
    RecentFiles,
};

enum Flag {
    NoFlag = 0,
    // Read, never written (Language: the options write the next start's language on their own).
    ReadOnly = 1,
    // Not written while the main window is minimised: it has no useful geometry then.
    MainWindow = 2,
    // A missing key keeps the value held (the system printer's paper, put in before the read).
    KeepsCurrent = 4,
    // From a library the whole text must be a number.
    Strict = 8,
    // The default is the application home, or the user's home folder, at the time it is needed.
    AppHomeDefault = 16,
    UserHomeDefault = 32,
};

struct Range {
    int min;
    int max;
};

constexpr Range kShort{std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()};
constexpr Range kLong{std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
constexpr Range kFontSize{7, 50};

using Field = std::variant<QString*, int*, qint16*, bool*, double*, quint32*>;

struct Key {
    QString section;
    QString name;
    Type type;
    // The default as it is stored.
    QString def;
    int group;
    // Where the value lives in memory (none for the recent-file list).
    std::function<Field(Settings&)> field;
    int flags = NoFlag;
    Range range = kShort;
};

const QList<Key>& table() {
    static const QList<Key> keys = [] {
        const QString main = QStringLiteral("VornReader");
        const QString mainForm = QStringLiteral("frmVornReader");
        const QString preview = QStringLiteral("frmPreview");
        const QString printer = QStringLiteral("Printer");
        const QString display = QString::fromUtf16(DisplaySection);
        // The page setup's defaults are those of the structure the printer and its dialog share.
        const PageSetup page;
        using S = Settings;
        // The order is the order of writing: a key the file lacks is added at the end of its section.
        QList<Key> k{
            {main, "Language", Type::Text, "Japanese", Program, [](S& s) -> Field { return &s.Language; }, ReadOnly},
            {main, "MdbPath", Type::Text, "", Program, [](S& s) -> Field { return &s.MdbPath; }, AppHomeDefault},
            {main, "MdbFile", Type::Text, "VornReader.mdb", Program, [](S& s) -> Field { return &s.MdbFile; }},
            {main, "SeqPath", Type::Text, "", Program, [](S& s) -> Field { return &s.SeqPath; }, UserHomeDefault},
            {main,
             "RecentFileCnt",
             Type::Count,
             "5",
             Program,
             [](S& s) -> Field { return &s.RecentFileCnt; },
             NoFlag,
             {0, RecentFileMax}},
            {main, "RecentFile", Type::RecentFiles, "", Program, nullptr},
            {main, "ViewSwitch", Type::Integer, "0", Program, [](S& s) -> Field { return &s.ViewSwitch; }},
            {main, "SettingSwitch", Type::Integer, "1", Program, [](S& s) -> Field { return &s.SettingSwitch; }},
            {main, "HexSwitch", Type::Boolean, "False", Program, [](S& s) -> Field { return &s.HexSwitch; }},
            {main, "HexMode", Type::Boolean, "False", Program, [](S& s) -> Field { return &s.HexMode; }},
            {main, "SeqDateSave", Type::Boolean, "False", Program, [](S& s) -> Field { return &s.SeqDateSave; }},
            {main, "FuncKey", Type::Text, "", Program, [](S& s) -> Field { return &s.FuncKey; }},
            {main, "NotCalledFor", Type::Boolean, "False", Program, [](S& s) -> Field { return &s.NotCalledFor; }},
            {main, "NotCalledAnyParty", Type::Boolean, "False", Program,
             [](S& s) -> Field { return &s.NotCalledAnyParty; }},
            {main, "NotCalledParty", Type::Text, "", Program, [](S& s) -> Field { return &s.NotCalledParty; }},
            {main,
             "NotCalledWeeks",
             Type::Count,
             "8",
             Program,
             [](S& s) -> Field { return &s.NotCalledWeeks; },
             NoFlag,
             {1, NotCalledWeeksMax}},

            {mainForm, "FormLeft", Type::Whole, "0", Program, [](S& s) -> Field { return &s.mainForm.FormLeft; },
             MainWindow},
            {mainForm, "FormTop", Type::Whole, "0", Program, [](S& s) -> Field { return &s.mainForm.FormTop; },
             MainWindow},
            {mainForm, "FormWidth", Type::Whole, "9000", Program, [](S& s) -> Field { return &s.mainForm.FormWidth; },
             MainWindow},
            {mainForm, "FormHeight", Type::Whole, "6000", Program, [](S& s) -> Field { return &s.mainForm.FormHeight; },
             MainWindow},
            {mainForm, "SplitLeft1", Type::Whole, "2550", Program, [](S& s) -> Field { return &s.SplitLeft1; },
             MainWindow},
            {mainForm, "SplitLeft2", Type::Whole, "5000", Program, [](S& s) -> Field { return &s.SplitLeft2; },
             MainWindow},

            {preview, "FormLeft", Type::Whole, "0", Program, [](S& s) -> Field { return &s.previewForm.FormLeft; }},
            {preview, "FormTop", Type::Whole, "0", Program, [](S& s) -> Field { return &s.previewForm.FormTop; }},
            {preview, "FormWidth", Type::Whole, "6000", Program,
             [](S& s) -> Field { return &s.previewForm.FormWidth; }},
            {preview, "FormHeight", Type::Whole, "6000", Program,
             [](S& s) -> Field { return &s.previewForm.FormHeight; }},

            {printer, "MarginLeft", Type::Number, SettingText::numberText(page.MarginLeft), Program,
             [](S& s) -> Field { return &s.pageSetup.MarginLeft; }},
            {printer, "MarginTop", Type::Number, SettingText::numberText(page.MarginTop), Program,
             [](S& s) -> Field { return &s.pageSetup.MarginTop; }},
            {printer, "MarginRight", Type::Number, SettingText::numberText(page.MarginRight), Program,
             [](S& s) -> Field { return &s.pageSetup.MarginRight; }},
            {printer, "MarginBottom", Type::Number, SettingText::numberText(page.MarginBottom), Program,
             [](S& s) -> Field { return &s.pageSetup.MarginBottom; }},
            {printer, "PaperSize", Type::Integer, QString::number(page.PaperSize), Program,
             [](S& s) -> Field { return &s.pageSetup.PaperSize; }, KeepsCurrent},
            {printer, "PaperBin", Type::Integer, QString::number(page.PaperBin), Program,
             [](S& s) -> Field { return &s.pageSetup.PaperBin; }, KeepsCurrent},
            {printer, "Orientation", Type::Integer, QString::number(page.Orientation), Program,
             [](S& s) -> Field { return &s.pageSetup.Orientation; }, KeepsCurrent},
        };

        const std::pair<const char*, FontSetting Settings::*> fonts[] = {
            {"Call", &S::callFont}, {"Seq", &S::seqFont}, {"Print", &S::printFont}};
        const char* const fontSizes[] = {"14", "10", "12"};
        for (int f = 0; f < 3; ++f) {
            const QString prefix = QLatin1String(fonts[f].first);
            const auto font = fonts[f].second;
            k.append({display, prefix + QStringLiteral("FontSize"), Type::FontSize, fontSizes[f], Display,
                      [font](S& s) -> Field { return &(s.*font).size; }, NoFlag, kFontSize});
            k.append({display, prefix + QStringLiteral("FontName"), Type::Text, "Arial", Display,
                      [font](S& s) -> Field { return &(s.*font).name; }});
            k.append({display, prefix + QStringLiteral("FontBold"), Type::Boolean, "True", Display,
                      [font](S& s) -> Field { return &(s.*font).bold; }});
            k.append({display, prefix + QStringLiteral("FontItalic"), Type::Boolean, "False", Display,
                      [font](S& s) -> Field { return &(s.*font).italic; }});
        }

        const std::pair<const char*, quint32 Settings::*> colours[] = {
            {"CallForeColor", &S::CallForeColor},       {"CallBackColor", &S::CallBackColor},
            {"CallForeColorSel", &S::CallForeColorSel}, {"CallBackColorSel", &S::CallBackColorSel},
            {"SeqForeColor", &S::SeqForeColor},         {"SeqBackColor", &S::SeqBackColor},
            {"SeqForeColorSel", &S::SeqForeColorSel},   {"SeqBackColorSel", &S::SeqBackColorSel}};
        const quint32 colourDefaults[] = {SystemWindowText, SystemWindow, SystemHighlightText, SystemHighlight};
        for (int c = 0; c < 8; ++c) {
            const auto colour = colours[c].second;
            k.append({display, colours[c].first, Type::Colour, SettingText::colourText(colourDefaults[c % 4]), Display,
                      [colour](S& s) -> Field { return &(s.*colour); }});
        }

        // Key table records 0-3 KeyCustom1-4, 4-10 KeyVornMP1-7, 11-13 KeyOther1-3.
        const char* const keyNames[KeyTableSize] = {
            "KeyCustom1", "KeyCustom2", "KeyCustom3", "KeyCustom4", "KeyVornMP1", "KeyVornMP2", "KeyVornMP3",
            "KeyVornMP4", "KeyVornMP5", "KeyVornMP6", "KeyVornMP7", "KeyOther1",  "KeyOther2",  "KeyOther3"};
        const char* const keyDefaults[KeyTableSize] = {"",  "",  "",  "",  "L", "U", "P",
                                                       "R", "W", "G", "S", "T", "H", "O"};
        for (int i = 0; i < KeyTableSize; ++i) {
            k.append({display, keyNames[i], Type::KeyText, keyDefaults[i], Display,
                      [i](S& s) -> Field { return &s.keyTable[i].Text; }});
        }

        k.append({display, "SequenceSort", Type::Integer, "0", Display, [](S& s) -> Field { return &s.SequenceSort; }});
        k.append({display, "CallRowMargin", Type::Integer, "0", Display, [](S& s) -> Field { return &s.CallRowMargin; },
                  NoFlag, kLong});
        k.append({display, "PartyName", Type::Text, "", Display, [](S& s) -> Field { return &s.PartyName; }});
        k.append({display, "Author", Type::Text, "", Display, [](S& s) -> Field { return &s.Author; }});
        k.append({display, "NotePrint", Type::Integer, "0", Display, [](S& s) -> Field { return &s.NotePrint; }});
        k.append(
            {display, "FormationPrint", Type::Integer, "1", Display, [](S& s) -> Field { return &s.FormationPrint; }});
        k.append({display, "TipTime", Type::Integer, "12", Display, [](S& s) -> Field { return &s.TipTime; }});
        k.append({display, "TimerSwitch", Type::Integer, "0", Display, [](S& s) -> Field { return &s.TimerSwitch; }});
        // The call grid variant is taken strictly from a library: a text that is no number is an error.
        k.append(
            {display, "PartFormat", Type::Integer, "0", Display, [](S& s) -> Field { return &s.PartFormat; }, Strict});

        for (int i = 0; i < FuncFileCount; ++i) {
            k.append({display, QStringLiteral("FuncFile%1").arg(i + 1), Type::Text, "", SwitchFiles,
                      [i](S& s) -> Field { return &s.FuncFile[i]; }});
        }
        return k;
    }();
    return keys;
}

QString defaultText(const Key& key) {
    if (key.flags & AppHomeDefault) {
        return AppHome::path();
    }
    if (key.flags & UserHomeDefault) {
        return QDir::homePath();
    }
    return key.def;
}

// The field as an integer, whatever its width.
int integerOf(const Field& field) {
    if (const auto* wide = std::get_if<int*>(&field)) {
        return **wide;
    }
    return *std::get<qint16*>(field);
}

void setInteger(const Field& field, int value) {
    if (const auto* wide = std::get_if<int*>(&field)) {
        **wide = value;
    } else {
        *std::get<qint16*>(field) = static_cast<qint16>(value);
    }
}

int clamped(const Key& key, int value) {
    return qBound(key.range.min, value, key.range.max);
}

// The field of a key, also for settings the caller holds const: the accessor only locates it.
Field fieldOf(const Key& key, const Settings& settings) {
    return key.field(const_cast<Settings&>(settings));
}

QString problemText(const Key& key, const ErrorInfo& error, const QString& stored) {
    return QStringLiteral("%1 cannot be read (%2): \"%3\"").arg(key.name, error.description, stored);
}

// The value from its stored text (a default or a library's row), as the type reads it; throws
// SettingError for an integer that is none or does not fit.
void setFromText(const Key& key, const Field& field, const QString& text) {
    switch (key.type) {
    case Type::Text:
    case Type::KeyText:
        *std::get<QString*>(field) = text;
        break;
    case Type::Integer:
    case Type::Count:
    case Type::Whole: {
        const Range range = key.type == Type::Integer ? key.range : (key.type == Type::Whole ? kLong : kShort);
        const int value = (key.flags & Strict) ? SettingText::strictInteger(text, range.min, range.max)
                                               : SettingText::leadingInteger(text, range.min, range.max);
        setInteger(field, key.type == Type::Count ? clamped(key, value) : value);
        break;
    }
    case Type::Boolean:
        *std::get<bool*>(field) = SettingText::booleanValue(text);
        break;
    case Type::Number:
        *std::get<double*>(field) = SettingText::leadingNumber(text);
        break;
    case Type::FontSize:
        *std::get<double*>(field) = qBound<double>(key.range.min, SettingText::leadingNumber(text), key.range.max);
        break;
    case Type::Colour:
        *std::get<quint32*>(field) = SettingText::colourValue(text).value_or(0);
        break;
    case Type::RecentFiles:
        break;
    }
}

// The text the key is written as.
QString textOf(const Key& key, const Settings& settings) {
    const Field field = fieldOf(key, settings);
    switch (key.type) {
    case Type::Text:
    case Type::KeyText:
        return *std::get<QString*>(field);
    case Type::Integer:
    case Type::Whole:
        return QString::number(integerOf(field));
    case Type::Count:
        return QString::number(clamped(key, integerOf(field)));
    case Type::Boolean:
        return SettingText::booleanText(*std::get<bool*>(field));
    case Type::Number:
    case Type::FontSize:
        return SettingText::numberText(*std::get<double*>(field));
    case Type::Colour:
        return SettingText::colourText(*std::get<quint32*>(field));
    case Type::RecentFiles:
        break;
    }
    return {};
}

// A colour text that is no colour takes the default and is named in the problems.
void setColour(const Key& key, const Field& field, const QString& text, QList<ErrorInfo>& problems) {
    if (const std::optional<quint32> value = SettingText::colourValue(text)) {
        *std::get<quint32*>(field) = *value;
    } else {
        setFromText(key, field, defaultText(key));
        problems.append({VornError::TypeMismatch, QStringLiteral("%1 is no colour: \"%2\"").arg(key.name, text)});
    }
}

// The leading 32-bit integer of an INI value; no number gives 0, one beyond 32 bits (or no
// value) the default.
int wholeFromIni(const std::optional<QString>& stored, int def) {
    if (!stored) {
        return def;
    }
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = leading.match(*stored);
    if (!match.hasMatch()) {
        return 0;
    }
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    return ok && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
               ? static_cast<int>(value)
               : def;
}

void readIniKey(const Key& key, Settings& settings, QList<ErrorInfo>& colourProblems) {
    const QString& file = settings.IniFile;
    if (key.type == Type::RecentFiles) {
        settings.RecentFile.fill(QString());
        for (int i = 1; i <= settings.RecentFileCnt; ++i) {
            settings.RecentFile[i - 1] = modSystem::GetIniString(key.section, key.name + QString::number(i), file, {});
        }
        return;
    }
    const Field field = key.field(settings);
    const QString def = defaultText(key);
    switch (key.type) {
    case Type::Integer:
    case Type::Count: {
        const int fallback = (key.flags & KeepsCurrent) ? integerOf(field) : def.toInt();
        const int value = modSystem::GetIniInteger(key.section, key.name, file, static_cast<qint16>(fallback));
        setInteger(field, key.type == Type::Count ? clamped(key, value) : value);
        break;
    }
    case Type::Whole:
        setInteger(field, wholeFromIni(IniFile::read(AppHome::resolve(file), key.section, key.name), def.toInt()));
        break;
    case Type::Colour:
        setColour(key, field, modSystem::GetIniString(key.section, key.name, file, def), colourProblems);
        break;
    default:
        setFromText(key, field, modSystem::GetIniString(key.section, key.name, file, def));
        break;
    }
}

// Recomputes the key codes of every key table record from its text.
void convertKeys(Settings& settings) {
    for (KeyAssignment& record : settings.keyTable) {
        record.Count = modGeneral::KeyCodeConvert(record.Text, record.Codes);
    }
}

} // namespace

void setDefaults(Settings& settings) {
    for (const Key& key : table()) {
        if (key.type == Type::RecentFiles) {
            settings.RecentFile.fill(QString());
        } else {
            setFromText(key, key.field(settings), defaultText(key));
        }
    }
    convertKeys(settings);
}

QList<ErrorInfo> readIni(Settings& settings, int groups) {
    QList<ErrorInfo> problems;
    for (const Key& key : table()) {
        if (key.group & groups) {
            readIniKey(key, settings, problems);
        }
    }
    if (groups & Display) {
        convertKeys(settings);
    }
    return problems;
}

void writeIniText(const QString& iniFile, const QString& section, const QString& key, const QString& text) {
    // Each write replaces the file on disk, so a key that already holds the value is left alone:
    // closing the program without changes then costs no writes at all.
    if (IniFile::read(AppHome::resolve(iniFile), section, key) == text) {
        return;
    }
    if (!modSystem::WriteIniValue(section, key, text, iniFile)) {
        throw SettingError(
            {VornError::PathAccess, QStringLiteral("Cannot write the file %1").arg(AppHome::resolve(iniFile))});
    }
}

void writeIni(const Settings& settings, int groups, bool mainWindowMinimised) {
    IniFile::Batch batch;
    for (const Key& key : table()) {
        if (!(key.group & groups) || (key.flags & ReadOnly) || (mainWindowMinimised && (key.flags & MainWindow))) {
            continue;
        }
        if (key.type == Type::RecentFiles) {
            const int count = qBound(0, static_cast<int>(settings.RecentFileCnt), RecentFileMax);
            for (int i = 0; i < count && !settings.RecentFile[i].isEmpty(); ++i) {
                writeIniText(settings.IniFile, key.section, key.name + QString::number(i + 1), settings.RecentFile[i]);
            }
            continue;
        }
        writeIniText(settings.IniFile, key.section, key.name, textOf(key, settings));
    }
    // Every key written above reaches the file at once.
    if (!batch.finish()) {
        throw SettingError({VornError::PathAccess,
                            QStringLiteral("Cannot write the file %1").arg(AppHome::resolve(settings.IniFile))});
    }
}

QList<ErrorInfo> readLibrary(Settings& settings, const LibrarySettings& library) {
    QList<ErrorInfo> problems;
    QList<ErrorInfo> colourProblems;
    for (const Key& key : table()) {
        if (key.group != Display) {
            continue;
        }
        const Field field = key.field(settings);
        const QString text = library.text(key.name, defaultText(key));
        if (key.type == Type::Colour) {
            setColour(key, field, text, colourProblems);
            continue;
        }
        // A value that cannot be read takes its default alone; the keys after it are still read.
        try {
            setFromText(key, field, text);
        } catch (const SettingError& error) {
            setFromText(key, field, defaultText(key));
            problems.append({error.info().number, problemText(key, error.info(), library.text(key.name, {}))});
        }
    }
    convertKeys(settings);
    return problems + colourProblems;
}

QList<std::pair<QString, QString>> displayTexts(const Settings& settings) {
    QList<std::pair<QString, QString>> texts;
    for (const Key& key : table()) {
        if (key.group == Display) {
            texts.append({key.name, textOf(key, settings)});
        }
    }
    return texts;
}

} // namespace SettingKeys
