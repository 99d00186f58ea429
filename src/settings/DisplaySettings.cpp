#include "DisplaySettings.h"

#include "KeyCodeConvert.h"
#include "SettingTable.h"
#include "SettingText.h"
#include "Settings.h"
#include "modSystem.h"

#include <array>
#include <limits>

namespace {

struct FontKeys {
    FontSetting Settings::*font;
    const char* prefix;
};

constexpr FontKeys kFonts[] = {
    {&Settings::callFont, "Call"}, {&Settings::seqFont, "Seq"}, {&Settings::printFont, "Print"}};

struct ColourKey {
    quint32 Settings::*colour;
    const char* name;
};

constexpr std::array<ColourKey, 8> kColours = {{{&Settings::CallForeColor, "CallForeColor"},
                                                {&Settings::CallBackColor, "CallBackColor"},
                                                {&Settings::CallForeColorSel, "CallForeColorSel"},
                                                {&Settings::CallBackColorSel, "CallBackColorSel"},
                                                {&Settings::SeqForeColor, "SeqForeColor"},
                                                {&Settings::SeqBackColor, "SeqBackColor"},
                                                {&Settings::SeqForeColorSel, "SeqForeColorSel"},
                                                {&Settings::SeqBackColorSel, "SeqBackColorSel"}}};

// The integer options: CallRowMargin is a 32-bit value, the others 16-bit. From a library the call
// grid variant is taken strictly (a non-numeric text is an error), the others by their leading
// number.
struct IntegerKey {
    int Settings::*value;
    const char* name;
    bool wide = false;
    bool strict = false;
};

constexpr IntegerKey kSequenceSort{&Settings::SequenceSort, "SequenceSort"};
constexpr IntegerKey kCallRowMargin{&Settings::CallRowMargin, "CallRowMargin", true};
constexpr IntegerKey kNotePrint{&Settings::NotePrint, "NotePrint"};
constexpr IntegerKey kFormationPrint{&Settings::FormationPrint, "FormationPrint"};
constexpr IntegerKey kTipTime{&Settings::TipTime, "TipTime"};
constexpr IntegerKey kTimerSwitch{&Settings::TimerSwitch, "TimerSwitch"};
constexpr IntegerKey kPartFormat{&Settings::PartFormat, "PartFormat", false, true};

QString key(const char* name) {
    return QString::fromLatin1(name);
}
QString fontKey(const FontKeys& font, const char* part) {
    return key(font.prefix) + key(part);
}

// The values as read, before fonts and colours are applied.
struct FontText {
    QString size;
    QString name;
    QString bold;
    QString italic;
};

class Source {
public:
    Source(const Settings& settings, const SettingTable* table) : m_iniFile(settings.IniFile), m_table(table) {}

    QString text(const QString& name, const QString& def) const {
        if (m_table) {
            return m_table->text(name, def);
        }
        return modSystem::GetIniString(QString::fromUtf16(DisplaySettings::IniSection), name, m_iniFile, def);
    }

    int integer(const IntegerKey& k, int def) const {
        if (!m_table) {
            return modSystem::GetIniInteger(QString::fromUtf16(DisplaySettings::IniSection), key(k.name), m_iniFile,
                                            static_cast<qint16>(def));
        }
        const int min = k.wide ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint16>::min();
        const int max = k.wide ? std::numeric_limits<qint32>::max() : std::numeric_limits<qint16>::max();
        const QString value = text(key(k.name), QString::number(def));
        return k.strict ? SettingText::strictInteger(value, min, max) : SettingText::leadingInteger(value, min, max);
    }

    FontText font(const FontKeys& keys, const FontSetting& def) const {
        return {text(fontKey(keys, "FontSize"), SettingText::numberText(def.size)),
                text(fontKey(keys, "FontName"), def.name),
                text(fontKey(keys, "FontBold"), SettingText::booleanText(def.bold)),
                text(fontKey(keys, "FontItalic"), SettingText::booleanText(def.italic))};
    }

private:
    QString m_iniFile;
    const SettingTable* m_table;
};

FontSetting fontFromText(const FontText& text) {
    FontSetting font;
    font.size = qBound(7.0, SettingText::leadingNumber(text.size), 50.0);
    font.name = text.name;
    font.bold = SettingText::booleanValue(text.bold);
    font.italic = SettingText::booleanValue(text.italic);
    return font;
}

} // namespace

namespace DisplaySettings {

QList<std::pair<QString, QString>> texts(const Settings& settings) {
    QList<std::pair<QString, QString>> list;
    for (const FontKeys& keys : kFonts) {
        const FontSetting& font = settings.*keys.font;
        list.append({fontKey(keys, "FontSize"), SettingText::numberText(font.size)});
        list.append({fontKey(keys, "FontName"), font.name});
        list.append({fontKey(keys, "FontBold"), SettingText::booleanText(font.bold)});
        list.append({fontKey(keys, "FontItalic"), SettingText::booleanText(font.italic)});
    }
    for (const ColourKey& colour : kColours) {
        list.append({key(colour.name), SettingText::colourText(settings.*colour.colour)});
    }
    for (int i = 0; i < KeyTableSize; ++i) {
        list.append({keySettingName(i), settings.keyTable[i].Text});
    }
    auto integer = [&](const IntegerKey& k) { list.append({key(k.name), QString::number(settings.*k.value)}); };
    integer(kSequenceSort);
    integer(kCallRowMargin);
    list.append({QStringLiteral("PartyName"), settings.PartyName});
    list.append({QStringLiteral("Author"), settings.Author});
    integer(kNotePrint);
    integer(kFormationPrint);
    integer(kTipTime);
    integer(kTimerSwitch);
    integer(kPartFormat);
    return list;
}

QList<ErrorInfo> read(Settings& settings, const SettingTable* table) {
    const Settings defaults;
    const Source source(settings, table);

    // Fonts and colours are read in the order call font, call colours, sequence font, sequence
    // colours, print font, and applied only after everything else has been read.
    std::array<FontText, 3> fonts;
    std::array<QString, kColours.size()> colours;
    for (int f = 0; f < 3; ++f) {
        fonts[f] = source.font(kFonts[f], defaults.*kFonts[f].font);
        if (f < 2) {
            for (int c = 4 * f; c < 4 * f + 4; ++c) {
                const ColourKey& colour = kColours[c];
                colours[c] = source.text(key(colour.name), SettingText::colourText(defaults.*colour.colour));
            }
        }
    }

    // A value that cannot be read takes its default alone; the keys after it are still read.
    QList<ErrorInfo> problems;
    auto integer = [&](const IntegerKey& k) {
        try {
            settings.*k.value = source.integer(k, defaults.*k.value);
        } catch (const SettingError& error) {
            settings.*k.value = defaults.*k.value;
            problems.append({error.info().number,
                             QStringLiteral("%1 cannot be read (%2): \"%3\"")
                                 .arg(key(k.name), error.info().description, source.text(key(k.name), QString()))});
        }
    };
    integer(kSequenceSort);
    integer(kCallRowMargin);
    settings.PartyName = source.text(QStringLiteral("PartyName"), defaults.PartyName);
    settings.Author = source.text(QStringLiteral("Author"), defaults.Author);
    integer(kNotePrint);
    integer(kFormationPrint);
    integer(kTipTime);
    integer(kTimerSwitch);
    integer(kPartFormat);

    for (int i = 0; i < KeyTableSize; ++i) {
        KeyAssignment& record = settings.keyTable[i];
        record.Text = source.text(keySettingName(i), keyDefaultText(i));
        record.Count = modGeneral::KeyCodeConvert(record.Text, record.Codes);
    }

    for (int f = 0; f < 3; ++f) {
        settings.*kFonts[f].font = fontFromText(fonts[f]);
    }

    for (size_t c = 0; c < kColours.size(); ++c) {
        const ColourKey& colour = kColours[c];
        if (const std::optional<quint32> value = SettingText::colourValue(colours[c])) {
            settings.*colour.colour = *value;
        } else {
            settings.*colour.colour = defaults.*colour.colour;
            problems.append(
                {VornError::TypeMismatch, QStringLiteral("%1 is no colour: \"%2\"").arg(key(colour.name), colours[c])});
        }
    }
    return problems;
}

} // namespace DisplaySettings
