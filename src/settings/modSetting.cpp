#include "modSetting.h"

#include "AppHome.h"
#include "Database.h"
#include "DbError.h"
#include "DisplaySettings.h"
#include "IniFile.h"
#include "LibrarySession.h"
#include "SettingTable.h"
#include "SettingText.h"
#include "Settings.h"
#include "Transaction.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>
#include <limits>
#include <optional>

namespace {

const QString kProcReadIni = QStringLiteral("modSetting.ReadIniVornReader");
const QString kProcWriteIni = QStringLiteral("modSetting.WriteIniVornReader");
const QString kProcReadMdb = QStringLiteral("modSetting.ReadIniMdbVornReader");
const QString kProcWriteMdb = QStringLiteral("modSetting.WriteIniMdbVornReader");
const QString kProcWriteLanguage = QStringLiteral("modSetting.WriteLanguage");

const QString kMain = QStringLiteral("VornReader");
const QString kMainForm = QStringLiteral("frmVornReader");
const QString kPreviewForm = QStringLiteral("frmPreview");
const QString kPrinter = QStringLiteral("Printer");
const QString kSetting = QString::fromUtf16(DisplaySettings::IniSection);

const QString kTemplateAlias = QStringLiteral("OrgTemplate");

QString numbered(const char* key, int number) {
    return QLatin1String(key) + QString::number(number);
}
QString perLevel(const char* key, const QString& caption) {
    return QLatin1String(key) + QLatin1Char('(') + caption + QLatin1Char(')');
}

qint16 clampRecentCount(int count) {
    return static_cast<qint16>(qBound(0, count, RecentFileMax));
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

// Reads one INI file; every value comes back as its text or through the INI integer reader.
class IniReader {
public:
    explicit IniReader(const QString& file) : m_file(file) {}
    QString text(const QString& section, const QString& key, const QString& def) const {
        return modSystem::GetIniString(section, key, m_file, def);
    }
    qint16 integer(const QString& section, const QString& key, int def) const {
        return modSystem::GetIniInteger(section, key, m_file, static_cast<qint16>(def));
    }
    bool boolean(const QString& section, const QString& key, bool def) const {
        return modSystem::GetIniBoolean(section, key, m_file, def);
    }
    double number(const QString& section, const QString& key, double def) const {
        return SettingText::leadingNumber(text(section, key, SettingText::numberText(def)));
    }
    // A 32-bit integer: window positions and sizes in twips pass 32,767 on wide screens and on a
    // second monitor. The leading integer counts; no number gives 0, one beyond 32 bits the default.
    int whole(const QString& section, const QString& key, int def) const {
        const std::optional<QString> stored = IniFile::read(AppHome::resolve(m_file), section, key);
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
    // The form's position and size; true when the file held them.
    bool geometry(const QString& section, FormGeometry& form, const FormGeometry& def) const {
        form.FormLeft = whole(section, QStringLiteral("FormLeft"), def.FormLeft);
        form.FormTop = whole(section, QStringLiteral("FormTop"), def.FormTop);
        form.FormWidth = whole(section, QStringLiteral("FormWidth"), def.FormWidth);
        form.FormHeight = whole(section, QStringLiteral("FormHeight"), def.FormHeight);
        return IniFile::read(AppHome::resolve(m_file), section, QStringLiteral("FormWidth")).has_value();
    }

private:
    QString m_file;
};

// Writes one INI file; the first write that fails ends the procedure with an error. Each write
// replaces the file on disk, so a key that already holds the value is left alone: closing the
// program without changes then costs no writes at all.
class IniWriter {
public:
    explicit IniWriter(const QString& file) : m_file(file), m_path(AppHome::resolve(file)) {}
    void text(const QString& section, const QString& key, const QString& value) const {
        if (IniFile::read(m_path, section, key) == value) {
            return;
        }
        if (!modSystem::WriteIniValue(section, key, value, m_file)) {
            throw SettingError(
                {VornError::PathAccess, QStringLiteral("Cannot write the file %1").arg(AppHome::resolve(m_file))});
        }
    }
    void integer(const QString& section, const QString& key, int value) const {
        text(section, key, QString::number(value));
    }
    // Puts the batch's writes on disk: every key written inside it reaches the file at once.
    void finish(IniFile::Batch& batch) const {
        if (!batch.finish()) {
            throw SettingError(
                {VornError::PathAccess, QStringLiteral("Cannot write the file %1").arg(AppHome::resolve(m_file))});
        }
    }
    void boolean(const QString& section, const QString& key, bool value) const {
        text(section, key, SettingText::booleanText(value));
    }
    void number(const QString& section, const QString& key, double value) const {
        text(section, key, SettingText::numberText(value));
    }
    void geometry(const QString& section, const FormGeometry& form) const {
        integer(section, QStringLiteral("FormLeft"), form.FormLeft);
        integer(section, QStringLiteral("FormTop"), form.FormTop);
        integer(section, QStringLiteral("FormWidth"), form.FormWidth);
        integer(section, QStringLiteral("FormHeight"), form.FormHeight);
    }

private:
    QString m_file;
    QString m_path;
};

// FuncFile1 ... FuncFile27 of the section "Setting".
void readFuncFiles(Settings& settings, const IniReader& ini) {
    for (int i = 0; i < FuncFileCount; ++i) {
        settings.FuncFile[i] = ini.text(kSetting, numbered("FuncFile", i + 1), QString());
    }
}
void writeFuncFiles(const Settings& settings, const IniWriter& ini) {
    for (int i = 0; i < FuncFileCount; ++i) {
        ini.text(kSetting, numbered("FuncFile", i + 1), settings.FuncFile[i]);
    }
}

bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

// Replaces the template's settings with those of the open library, so that a library created
// from the template later starts with them. A library that is the template itself has nothing
// to copy.
void copySettingsToTemplate(Database& db) {
    const QString templatePath = LibrarySession::TemplatePath();
    if (!modSystem::FileExists(templatePath) || sameFile(db.path(), templatePath)) {
        return;
    }
    db.attach(templatePath, kTemplateAlias);
    try {
        std::optional<Transaction> transaction;
        if (!db.inTransaction()) {
            transaction.emplace(db);
        }
        db.exec(QStringLiteral("DELETE FROM ") + kTemplateAlias + QStringLiteral(".tblSetting"));
        db.exec(QStringLiteral("INSERT INTO ") + kTemplateAlias +
                QStringLiteral(".tblSetting SELECT * FROM tblSetting"));
        if (transaction) {
            transaction->commit();
        }
    } catch (...) {
        try {
            db.detach(kTemplateAlias);
        } catch (const DbError&) {
            // The copy's own failure is the one reported; the connection drops the alias on close.
        }
        throw;
    }
    db.detach(kTemplateAlias);
}

} // namespace

namespace modSetting {

void ReadIniVornReader(Settings& settings) {
    trapped(kProcReadIni, [&] {
        const Settings defaults;
        const IniReader ini(settings.IniFile);

        settings.Language = ini.text(kMain, QStringLiteral("Language"), defaults.Language);
        settings.MdbPath = ini.text(kMain, QStringLiteral("MdbPath"), defaults.MdbPath);
        settings.MdbFile = ini.text(kMain, QStringLiteral("MdbFile"), defaults.MdbFile);
        settings.SeqPath = ini.text(kMain, QStringLiteral("SeqPath"), defaults.SeqPath);

        settings.RecentFile.fill(QString());
        settings.RecentFileCnt =
            clampRecentCount(ini.integer(kMain, QStringLiteral("RecentFileCnt"), defaults.RecentFileCnt));
        for (int i = 1; i <= settings.RecentFileCnt; ++i) {
            settings.RecentFile[i - 1] = ini.text(kMain, numbered("RecentFile", i), QString());
        }

        settings.ViewSwitch = ini.integer(kMain, QStringLiteral("ViewSwitch"), defaults.ViewSwitch);
        settings.SettingSwitch = ini.integer(kMain, QStringLiteral("SettingSwitch"), defaults.SettingSwitch);
        settings.HexMode = ini.boolean(kMain, QStringLiteral("HexMode"), defaults.HexMode);
        settings.HexSwitch = ini.boolean(kMain, QStringLiteral("HexSwitch"), defaults.HexSwitch);
        settings.SeqDateSave = ini.boolean(kMain, QStringLiteral("SeqDateSave"), defaults.SeqDateSave);
        settings.FuncKey = ini.text(kMain, QStringLiteral("FuncKey"), defaults.FuncKey);
        settings.NotCalledFor = ini.boolean(kMain, QStringLiteral("NotCalledFor"), defaults.NotCalledFor);
        settings.NotCalledAnyParty =
            ini.boolean(kMain, QStringLiteral("NotCalledAnyParty"), defaults.NotCalledAnyParty);
        settings.NotCalledParty = ini.text(kMain, QStringLiteral("NotCalledParty"), defaults.NotCalledParty);
        settings.NotCalledWeeks = qBound(
            1, int(ini.integer(kMain, QStringLiteral("NotCalledWeeks"), defaults.NotCalledWeeks)), NotCalledWeeksMax);

        settings.mainFormSaved = ini.geometry(kMainForm, settings.mainForm, defaults.mainForm);
        ini.geometry(kPreviewForm, settings.previewForm, defaults.previewForm);

        settings.MarginLeft = ini.number(kPrinter, QStringLiteral("MarginLeft"), defaults.MarginLeft);
        settings.MarginTop = ini.number(kPrinter, QStringLiteral("MarginTop"), defaults.MarginTop);
        settings.MarginRight = ini.number(kPrinter, QStringLiteral("MarginRight"), defaults.MarginRight);
        settings.MarginBottom = ini.number(kPrinter, QStringLiteral("MarginBottom"), defaults.MarginBottom);
        settings.PaperSize = ini.integer(kPrinter, QStringLiteral("PaperSize"), settings.PaperSize);
        settings.PaperBin = ini.integer(kPrinter, QStringLiteral("PaperBin"), settings.PaperBin);
        settings.Orientation = ini.integer(kPrinter, QStringLiteral("Orientation"), settings.Orientation);

        settings.SplitLeft1 = ini.whole(kMainForm, QStringLiteral("SplitLeft1"), defaults.SplitLeft1);
        settings.SplitLeft2 = ini.whole(kMainForm, QStringLiteral("SplitLeft2"), defaults.SplitLeft2);

        // The database-switch keys open a library also when none is open yet.
        readFuncFiles(settings, ini);
    });
}

void WriteIniVornReader(const Settings& settings, bool mainWindowMinimised) {
    trapped(kProcWriteIni, [&] {
        IniFile::Batch batch;
        const IniWriter ini(settings.IniFile);

        ini.text(kMain, QStringLiteral("MdbPath"), settings.MdbPath);
        ini.text(kMain, QStringLiteral("MdbFile"), settings.MdbFile);
        ini.text(kMain, QStringLiteral("SeqPath"), settings.SeqPath);

        // The list ends at its first empty entry; older keys after it stay in the file.
        const qint16 recentCount = clampRecentCount(settings.RecentFileCnt);
        ini.integer(kMain, QStringLiteral("RecentFileCnt"), recentCount);
        for (int i = 0; i < recentCount && !settings.RecentFile[i].isEmpty(); ++i) {
            ini.text(kMain, numbered("RecentFile", i + 1), settings.RecentFile[i]);
        }

        ini.integer(kMain, QStringLiteral("ViewSwitch"), settings.ViewSwitch);
        ini.integer(kMain, QStringLiteral("SettingSwitch"), settings.SettingSwitch);
        ini.boolean(kMain, QStringLiteral("HexSwitch"), settings.HexSwitch);
        ini.boolean(kMain, QStringLiteral("HexMode"), settings.HexMode);
        ini.boolean(kMain, QStringLiteral("SeqDateSave"), settings.SeqDateSave);
        ini.text(kMain, QStringLiteral("FuncKey"), settings.FuncKey);
        ini.boolean(kMain, QStringLiteral("NotCalledFor"), settings.NotCalledFor);
        ini.boolean(kMain, QStringLiteral("NotCalledAnyParty"), settings.NotCalledAnyParty);
        ini.text(kMain, QStringLiteral("NotCalledParty"), settings.NotCalledParty);
        ini.integer(kMain, QStringLiteral("NotCalledWeeks"), settings.NotCalledWeeks);

        // A minimised window has no useful geometry; the last normal one stays.
        if (!mainWindowMinimised) {
            ini.geometry(kMainForm, settings.mainForm);
            ini.integer(kMainForm, QStringLiteral("SplitLeft1"), settings.SplitLeft1);
            ini.integer(kMainForm, QStringLiteral("SplitLeft2"), settings.SplitLeft2);
        }
        ini.geometry(kPreviewForm, settings.previewForm);

        ini.number(kPrinter, QStringLiteral("MarginLeft"), settings.MarginLeft);
        ini.number(kPrinter, QStringLiteral("MarginTop"), settings.MarginTop);
        ini.number(kPrinter, QStringLiteral("MarginRight"), settings.MarginRight);
        ini.number(kPrinter, QStringLiteral("MarginBottom"), settings.MarginBottom);
        ini.integer(kPrinter, QStringLiteral("PaperSize"), settings.PaperSize);
        ini.integer(kPrinter, QStringLiteral("PaperBin"), settings.PaperBin);
        ini.integer(kPrinter, QStringLiteral("Orientation"), settings.Orientation);
        // Paths changed in the options while no library was open are kept too.
        writeFuncFiles(settings, ini);
        ini.finish(batch);
    });
}

void WriteLanguage(const Settings& settings) {
    if (settings.LanguageNext.isEmpty()) {
        return;
    }
    trapped(kProcWriteLanguage, [&] {
        IniFile::Batch batch;
        const IniWriter ini(settings.IniFile);
        ini.text(kMain, QStringLiteral("Language"), settings.LanguageNext);
        ini.finish(batch);
    });
}

void ReadIniMdbVornReader(Settings& settings, Database& db, const QStringList& levelCaptions) {
    trapped(kProcReadMdb, [&] {
        const IniReader ini(settings.IniFile);
        readFuncFiles(settings, ini);

        const SettingTable table(db);
        settings.ViewLevel = table.text(QStringLiteral("ViewLevel"), QString());
        // A position that cannot be read starts its level at the top; the other keys are read.
        QList<ErrorInfo> problems;
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

        problems += DisplaySettings::read(settings, settings.SettingSwitch == 0 ? nullptr : &table);
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
        const IniWriter ini(settings.IniFile);
        const QList<std::pair<QString, QString>> display = DisplaySettings::texts(settings);
        {
            IniFile::Batch batch;
            for (const auto& [key, text] : display) {
                ini.text(kSetting, key, text);
            }
            writeFuncFiles(settings, ini);
            ini.finish(batch);
        }

        if (!db || !db->isOpen() || !modDataBase::CheckExistTable(*db, QStringLiteral("tblSetting"))) {
            return;
        }
        {
            SettingTable table(*db);
            std::optional<Transaction> transaction;
            if (!db->inTransaction()) {
                transaction.emplace(*db);
            }
            table.write(QStringLiteral("ViewLevel"), settings.ViewLevel);
            const int levels = static_cast<int>(qMin<qsizetype>(levelCaptions.size(), ViewLevelMax));
            for (int j = 0; j < levels; ++j) {
                // A level never looked at keeps the rows it has.
                if (settings.ViewIndex[j] > 0) {
                    table.write(perLevel("ViewIndex", levelCaptions[j]), QString::number(settings.ViewIndex[j]));
                    table.write(perLevel("ViewRow", levelCaptions[j]), QString::number(settings.ViewRow[j]));
                }
            }
            if (settings.SettingSwitch == 1) {
                for (const auto& [key, text] : display) {
                    table.write(key, text);
                }
            }
            if (transaction) {
                transaction->commit();
            }
        }
        if (settings.SettingSwitch == 1) {
            copySettingsToTemplate(*db);
        }
    });
}

} // namespace modSetting
