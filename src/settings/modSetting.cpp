#include "modSetting.h"

#include "AppHome.h"
#include "DbError.h"
#include "IniFile.h"
#include "LibrarySettings.h"
#include "SettingKeys.h"
#include "SettingText.h"
#include "Settings.h"
#include "modSystem.h"

#include <QDate>
#include <limits>

namespace {

const QString kProcReadIni = QStringLiteral("modSetting.ReadIniVornReader");
const QString kProcWriteIni = QStringLiteral("modSetting.WriteIniVornReader");
const QString kProcReadMdb = QStringLiteral("modSetting.ReadIniMdbVornReader");
const QString kProcWriteMdb = QStringLiteral("modSetting.WriteIniMdbVornReader");
const QString kProcWriteLanguage = QStringLiteral("modSetting.WriteLanguage");

QString perLevel(const char* key, const QString& caption) {
    return QLatin1String(key) + QLatin1Char('(') + caption + QLatin1Char(')');
}

template <typename Body> void trapped(const QString& procedure, Body&& body) {
    try {
        body();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(procedure, error.info());
    } catch (const SettingError& error) {
        modSystem::WriteErrorLog(procedure, error.info());
    }
}

} // namespace

namespace modSetting {

void ReadIniVornReader(Settings& settings) {
    trapped(kProcReadIni, [&] {
        // The database-switch keys open a library also when none is open yet.
        SettingKeys::readIni(settings, SettingKeys::Program | SettingKeys::SwitchFiles);
        settings.mainFormSaved = IniFile::read(AppHome::resolve(settings.IniFile), QStringLiteral("frmVornReader"),
                                               QStringLiteral("FormWidth"))
                                     .has_value();
    });
}

void WriteIniVornReader(const Settings& settings, bool mainWindowMinimised) {
    // Paths changed in the options while no library was open are kept too.
    trapped(kProcWriteIni, [&] {
        SettingKeys::writeIni(settings, SettingKeys::Program | SettingKeys::SwitchFiles, mainWindowMinimised);
    });
}

void WriteLanguage(const Settings& settings) {
    if (settings.LanguageNext.isEmpty()) {
        return;
    }
    trapped(kProcWriteLanguage, [&] {
        SettingKeys::writeIniText(settings.IniFile, QStringLiteral("VornReader"), QStringLiteral("Language"),
                                  settings.LanguageNext);
    });
}

void ReadIniMdbVornReader(Settings& settings, Database& db, const QStringList& levelCaptions) {
    trapped(kProcReadMdb, [&] {
        QList<ErrorInfo> problems = SettingKeys::readIni(settings, SettingKeys::SwitchFiles);

        const LibrarySettings table(db);
        settings.ViewLevel = table.text(QStringLiteral("ViewLevel"), QString());
        // A position that cannot be read starts its level at the top; the other keys are read.
        const auto position = [&](const QString& key) {
            const QString text = table.text(key, QStringLiteral("0"));
            try {
                return SettingText::leadingInteger(text, std::numeric_limits<qint32>::min(),
                                                   std::numeric_limits<qint32>::max());
            } catch (const SettingError& error) {
                problems.append(
                    {error.info().number,
                     QStringLiteral("%1 cannot be read (%2): \"%3\"").arg(key, error.info().description, text)});
                return 0;
            }
        };
        const int levels = static_cast<int>(qMin<qsizetype>(levelCaptions.size(), ViewLevelMax));
        for (int j = 0; j < levels; ++j) {
            settings.ViewIndex[j] = position(perLevel("ViewIndex", levelCaptions[j]));
            settings.ViewRow[j] = position(perLevel("ViewRow", levelCaptions[j]));
        }

        problems += settings.SettingSwitch == 0 ? SettingKeys::readIni(settings, SettingKeys::Display)
                                                : SettingKeys::readLibrary(settings, table);
        // One report names every key that fell back, so a library with several bad rows asks once.
        if (!problems.isEmpty()) {
            QStringList lines;
            for (const ErrorInfo& problem : std::as_const(problems)) {
                lines.append(problem.description);
            }
            modSystem::WriteErrorLog(kProcReadMdb, {problems.front().number, lines.join(QStringLiteral("; "))});
        }

        settings.CallDate = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    });
}

void WriteIniMdbVornReader(const Settings& settings, Database* db, const QStringList& levelCaptions) {
    trapped(kProcWriteMdb, [&] {
        SettingKeys::writeIni(settings, SettingKeys::Display | SettingKeys::SwitchFiles);
        if (!LibrarySettings::present(db)) {
            return;
        }
        LibrarySettings table(*db);
        LibrarySettings::Rows rows{{QStringLiteral("ViewLevel"), settings.ViewLevel}};
        const int levels = static_cast<int>(qMin<qsizetype>(levelCaptions.size(), ViewLevelMax));
        for (int j = 0; j < levels; ++j) {
            // A level never looked at keeps the rows it has.
            if (settings.ViewIndex[j] > 0) {
                rows.append({perLevel("ViewIndex", levelCaptions[j]), QString::number(settings.ViewIndex[j])});
                rows.append({perLevel("ViewRow", levelCaptions[j]), QString::number(settings.ViewRow[j])});
            }
        }
        if (settings.SettingSwitch == 1) {
            rows += SettingKeys::displayTexts(settings);
        }
        table.write(rows);
        if (settings.SettingSwitch == 1) {
            table.copyToTemplate();
        }
    });
}

} // namespace modSetting
