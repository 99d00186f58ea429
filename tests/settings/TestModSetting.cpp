#include "AppHome.h"
#include "Database.h"
#include "Fixtures.h"
#include "IniFile.h"
#include "RecordingErrorBox.h"
#include "SettingKeys.h"
#include "Settings.h"
#include "TestHome.h"
#include "modDataBase.h"
#include "modSetting.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

const QStringList kLevels{QStringLiteral("Mainstream"), QStringLiteral("Plus"), QStringLiteral("A1")};
const QString kReadMdb = QStringLiteral("modSetting.ReadIniMdbVornReader");

QStringList displayTexts(const Settings& settings) {
    QStringList texts;
    for (const auto& [key, text] : SettingKeys::displayTexts(settings)) {
        texts.append(key + QLatin1Char('=') + text);
    }
    return texts;
}

QStringList settingRows(Database& db) {
    return Fixtures::rows(db, QStringLiteral("SELECT KeyName || '=' || Data FROM tblSetting ORDER BY KeyName"));
}

QList<int> geometry(const FormGeometry& form) {
    return {form.FormLeft, form.FormTop, form.FormWidth, form.FormHeight};
}

} // namespace

class TestModSetting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_lib.emplace(); }
    void cleanup() { m_lib.reset(); }

    void freshInstallationDefaults() {
        Settings s;
        s.mainForm = {1, 2, 3, 4};
        s.SplitLeft1 = s.SplitLeft2 = s.SettingSwitch = s.RecentFileCnt = 9;
        s.Language = s.MdbPath = s.MdbFile = s.SeqPath = QStringLiteral("changed");
        modSetting::ReadIniVornReader(s);
        QCOMPARE(geometry(s.mainForm) << s.SplitLeft1 << s.SplitLeft2, (QList<int>{0, 0, 9000, 6000, 2550, 5000}));
        QCOMPARE(s.SettingSwitch, 1);
        QCOMPARE(s.RecentFileCnt, 5);
        QCOMPARE(s.Language, QStringLiteral("Japanese"));
        QCOMPARE(s.MdbPath, AppHome::path());
        QCOMPARE(s.MdbFile, QStringLiteral("VornReader.mdb"));
        QCOMPARE(s.SeqPath, QDir::homePath());
        QVERIFY(!QFile::exists(iniPath()));
        QVERIFY(m_lib->box.prompts.isEmpty());
    }

    void recentFileCount_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("35 is clamped") << QStringLiteral("35") << 20;
        QTest::newRow("7 stays") << QStringLiteral("7") << 7;
        QTest::newRow("negative gives none") << QStringLiteral("-3") << 0;
    }
    void recentFileCount() {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QString text = QStringLiteral("[VornReader]\nRecentFileCnt=") + stored + QLatin1Char('\n');
        for (int i = 1; i <= 25; ++i) {
            text += QStringLiteral("RecentFile%1=f%1\n").arg(i);
        }
        writeIni(text);
        Settings s;
        modSetting::ReadIniVornReader(s);
        QCOMPARE(s.RecentFileCnt, expected);
        for (int i = 0; i < RecentFileMax; ++i) {
            QCOMPARE(s.RecentFile[i], i < expected ? QStringLiteral("f%1").arg(i + 1) : QString());
        }
        s.RecentFileCnt = static_cast<qint16>(stored.toInt());
        modSetting::WriteIniVornReader(s, false);
        QCOMPARE(ini("VornReader", "RecentFileCnt"), QString::number(expected));
    }

    // The database-switch paths come with the program's own settings too, so that their keys
    // work before any library is open, and go back with them.
    void switchPathsWithProgramSettings() {
        writeIni(QStringLiteral("[Setting]\nFuncFile1=/lib/a.mdb\nFuncFile27=/lib/z.mdb\n"));
        Settings s;
        modSetting::ReadIniVornReader(s);
        QCOMPARE(s.FuncFile[0] + '|' + s.FuncFile[26], QStringLiteral("/lib/a.mdb|/lib/z.mdb"));
        s.FuncFile[0].clear();
        s.FuncFile[11] = QStringLiteral("/lib/shift f3.mdb");
        modSetting::WriteIniVornReader(s, false);
        QCOMPARE(ini("Setting", "FuncFile1") + '|' + ini("Setting", "FuncFile12") + '|' + ini("Setting", "FuncFile27"),
                 QStringLiteral("|/lib/shift f3.mdb|/lib/z.mdb"));
    }

    // A minimised window does not write its geometry: the main form keeps what the file holds.
    void minimisedWindowKeepsGeometry() {
        writeIni(QStringLiteral("[frmVornReader]\nFormLeft=111\nFormTop=112\nFormWidth=113\nFormHeight=114\n"
                                "SplitLeft1=115\nSplitLeft2=116\n"));
        Settings s;
        s.mainForm = {1, 2, 3, 4};
        s.SplitLeft1 = 5;
        s.SplitLeft2 = 6;
        s.previewForm = {7, 8, 9, 10};
        modSetting::WriteIniVornReader(s, true);
        Settings r;
        modSetting::ReadIniVornReader(r);
        QCOMPARE(geometry(r.mainForm) << r.SplitLeft1 << r.SplitLeft2, (QList<int>{111, 112, 113, 114, 115, 116}));
        QCOMPARE(geometry(r.previewForm), (QList<int>{7, 8, 9, 10}));
    }

    // Positions and sizes in twips pass 32,767 on a wide or second screen: they come back whole.
    void geometryBeyondSixteenBits() {
        Settings s;
        s.mainForm = {40000, -2000, 38400, 33000};
        s.SplitLeft1 = 12000;
        s.SplitLeft2 = 35000;
        modSetting::WriteIniVornReader(s, false);
        Settings r;
        modSetting::ReadIniVornReader(r);
        QCOMPARE(geometry(r.mainForm) << r.SplitLeft1 << r.SplitLeft2,
                 (QList<int>{40000, -2000, 38400, 33000, 12000, 35000}));
        QVERIFY(r.mainFormSaved);
        QVERIFY(!Settings().mainFormSaved);
    }

    void untouchedLinesAndLanguageSurvive() {
        const QStringList kept{"; settings kept by hand", "[VornReader]", "Language=English", "; the Friday library",
                               "Custom=keep me",          "[Notes]",      "Line=one"};
        writeIni(kept.mid(0, 4).join(QLatin1Char('\n')) + QStringLiteral("\nMdbFile=friday.mdb\n") +
                 kept.mid(4).join(QLatin1Char('\n')) + QLatin1Char('\n'));
        Settings s;
        modSetting::ReadIniVornReader(s);
        QCOMPARE(s.Language, QStringLiteral("English"));
        QCOMPARE(s.MdbFile, QStringLiteral("friday.mdb"));
        s.Language = QStringLiteral("Japanese");
        s.MdbFile = QStringLiteral("saturday.mdb");
        modSetting::WriteIniVornReader(s, false);
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);

        const QStringList lines = QString::fromUtf8(Fixtures::readFile(iniPath())).split(QLatin1Char('\n'));
        qsizetype previous = -1;
        for (const QString& line : kept) {
            QVERIFY2(lines.indexOf(line) > previous, qPrintable(line));
            previous = lines.indexOf(line);
        }
        QCOMPARE(lines.indexOf(QStringLiteral("MdbFile=saturday.mdb")), lines.indexOf(kept[3]) + 1);
    }

    void failedIniWriteIsReported() {
        Settings s;
        s.IniFile = m_lib->home.file(QStringLiteral("missing/VornReader.ini"));
        modSetting::WriteIniVornReader(s, false);
        QVERIFY(m_lib->box.reported(QStringLiteral("modSetting.WriteIniVornReader")));
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);
        QVERIFY(m_lib->box.reported(QStringLiteral("modSetting.WriteIniMdbVornReader")));
        QVERIFY(row(QStringLiteral("ViewLevel")).isNull());
    }

    // Display settings live in the INI file (SettingSwitch 0) or the library (1); rows alternate.
    void fontValues_data() {
        QTest::addColumn<int>("settingSwitch");
        QTest::addColumn<QStringList>("stored"); // font size, bold, colour
        QTest::addColumn<double>("expectedSize");
        QTest::addColumn<bool>("expectedBold");
        QTest::addColumn<quint32>("colour");      // a colour that does not parse is reported
        QTest::addColumn<QStringList>("written"); // font size, colour
        QTest::newRow("3 raised to 7, TRUE, system colour") << 0 << QStringList{"3", "TRUE", "&H8000000D"} << 7.0
                                                            << true << 0x8000000Du << QStringList{"7", "&H8000000D"};
        QTest::newRow("72 cut to 50, yes, short lower-case")
            << 1 << QStringList{"72", "yes", "&hff"} << 50.0 << false << 0xFFu << QStringList{"50", "&H000000FF"};
        QTest::newRow("10.5, true, no colour") << 1 << QStringList{"10.5", "true", "blue"} << 10.5 << true
                                               << SystemWindowText << QStringList{"10.5", "&H80000008"};
        QTest::newRow("12pt, 1, nine digits") << 0 << QStringList{"12pt", "1", "&H1000000FF"} << 12.0 << false
                                              << SystemWindowText << QStringList{"12", "&H80000008"};
    }
    void fontValues() {
        QFETCH(int, settingSwitch);
        QFETCH(QStringList, stored);
        QFETCH(bool, expectedBold);
        QFETCH(quint32, colour);
        QFETCH(QStringList, written);
        storeDisplay(settingSwitch, QStringLiteral("CallFontSize"), stored[0]);
        storeDisplay(settingSwitch, QStringLiteral("CallFontBold"), stored[1]);
        storeDisplay(settingSwitch, QStringLiteral("PrintFontItalic"), stored[1]);
        storeDisplay(settingSwitch, QStringLiteral("SeqForeColor"), stored[2]);
        storeDisplay(settingSwitch, QStringLiteral("SeqBackColorSel"), QStringLiteral("&H00000001"));
        Settings s;
        s.SettingSwitch = settingSwitch;
        s.callFont.bold = !expectedBold;
        s.SeqForeColor = 0x123;
        modSetting::ReadIniMdbVornReader(s, m_lib->db, kLevels);
        QTEST(s.callFont.size, "expectedSize");
        QCOMPARE(s.callFont.bold, expectedBold);
        QCOMPARE(s.printFont.italic, expectedBold);
        QCOMPARE(s.SeqForeColor, colour);
        QCOMPARE(s.SeqBackColorSel, 1u);
        QCOMPARE(m_lib->box.reported(kReadMdb), colour == SystemWindowText);
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);
        QCOMPARE(ini("Setting", "CallFontSize"), written[0]);
        QCOMPARE(ini("Setting", "SeqForeColor"), written[1]);
        QCOMPARE(row(QStringLiteral("CallFontSize")).toString(), settingSwitch == 1 ? written[0] : QString());
    }

    // A row of the library that cannot be read takes its default alone: the rows after it are read,
    // and closing the library writes them back as they were, not the defaults.
    void badRowFallsBackAlone_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("PartFormat no number") << QStringLiteral("PartFormat") << QStringLiteral("abc");
        QTest::newRow("SequenceSort beyond 16 bits") << QStringLiteral("SequenceSort") << QStringLiteral("99999");
        QTest::newRow("ViewIndex beyond 32 bits") << QStringLiteral("ViewIndex(Plus)") << QStringLiteral("1e12");
    }
    void badRowFallsBackAlone() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        const QStringList kept{"CallFontSize=50", "SeqFontSize=10.5", "TipTime=45", "ViewIndex(A1)=3"};
        for (const QString& row : kept) {
            setRow(row.section(QLatin1Char('='), 0, 0), row.section(QLatin1Char('='), 1));
        }
        setRow(key, text);
        Settings s;
        s.PartFormat = s.SequenceSort = 1;
        s.ViewIndex[1] = 5;
        modSetting::ReadIniMdbVornReader(s, m_lib->db, kLevels);
        QCOMPARE((QList<double>{s.callFont.size, s.seqFont.size, double(s.TipTime), double(s.ViewIndex[2])}),
                 (QList<double>{50, 10.5, 45, 3}));
        QCOMPARE((QList<int>{s.PartFormat, s.SequenceSort, s.ViewIndex[1]}), (QList<int>{0, 0, 0}));
        QCOMPARE(m_lib->box.prompts.size(), 1);
        QVERIFY(m_lib->box.reported(kReadMdb) && m_lib->box.prompts[0].contains(key));
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);
        const QStringList rows = settingRows(m_lib->db);
        for (const QString& row : kept) {
            QVERIFY2(rows.contains(row), qPrintable(row));
        }
    }

    void displaySettingsRoundTrip_data() { switchRows(); }
    void displaySettingsRoundTrip() {
        QFETCH(int, settingSwitch);
        Settings s;
        s.SettingSwitch = settingSwitch;
        s.callFont = {18.5, QStringLiteral("Noto Sans"), false, true};
        s.printFont = {30, QStringLiteral("Liberation Mono"), false, false};
        s.CallForeColor = 0x000000FF;
        s.SeqBackColorSel = 0x80000010;
        s.keyTable[0].Text = QStringLiteral("{F5}");
        s.keyTable[4].Text = QStringLiteral("L U");
        s.keyTable[13].Text.clear();
        s.SequenceSort = s.TimerSwitch = s.PartFormat = s.NotePrint = 1;
        s.CallRowMargin = 40;
        s.FormationPrint = 0;
        s.TipTime = 45;
        s.PartyName = QStringLiteral("Club O'Neil");
        s.Author = QStringLiteral("Ann; \"A\" Smith");
        s.FuncFile[26] = QStringLiteral("/libraries/ctrl f9.mdb");
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);

        Settings r;
        r.SettingSwitch = settingSwitch;
        modSetting::ReadIniMdbVornReader(r, m_lib->db, kLevels);
        QCOMPARE(displayTexts(r), displayTexts(s));
        QCOMPARE(r.FuncFile[26], s.FuncFile[26]);
        const QList<int> codes{r.keyTable[0].Count, r.keyTable[0].Codes[0], r.keyTable[4].Count, r.keyTable[4].Codes[1],
                               r.keyTable[13].Count};
        QCOMPARE(codes, (QList<int>{1, 116, 2, 85, 0}));
        QVERIFY(m_lib->box.prompts.isEmpty());
    }

    void closingLibrary_data() { switchRows(); }
    void closingLibrary() {
        QFETCH(int, settingSwitch);
        const QString templatePath = AppHome::resolve(QStringLiteral("vornreader_org.mdb"));
        modDataBase::CreateLibrary(templatePath);
        {
            Database templateDb(templatePath);
            modDataBase::WriteINIMdbString(templateDb, QStringLiteral("Stale"), QStringLiteral("x"));
        }
        setRow(QStringLiteral("ViewIndex(Plus)"), QStringLiteral("7"));
        setRow(QStringLiteral("ViewRow(Plus)"), QStringLiteral("4"));
        Settings s;
        s.SettingSwitch = settingSwitch;
        s.ViewLevel = QStringLiteral("A1");
        s.ViewIndex = {-1, 0, 12};
        s.ViewRow = {5, 9, 3};
        s.PartyName = QStringLiteral("Club O'Neil");
        s.FuncFile[0] = QStringLiteral("/libraries/a.mdb");
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);
        QVERIFY(m_lib->box.prompts.isEmpty());

        // The view rows are written whatever SettingSwitch says, only for levels with a position.
        const QStringList rows = settingRows(m_lib->db);
        for (const char* expected :
             {"ViewLevel=A1", "ViewIndex(A1)=12", "ViewRow(A1)=3", "ViewIndex(Plus)=7", "ViewRow(Plus)=4"}) {
            QVERIFY2(rows.contains(QLatin1String(expected)), expected);
        }
        QVERIFY(row(QStringLiteral("ViewIndex(Mainstream)")).isNull());
        QCOMPARE(rows.contains(QStringLiteral("PartyName=Club O'Neil")), settingSwitch == 1);
        QCOMPARE(ini("Setting", "PartyName"), s.PartyName);
        QVERIFY(row(QStringLiteral("FuncFile1")).isNull());
        QCOMPARE(ini("Setting", "FuncFile1"), s.FuncFile[0]);

        // The template takes the library's settings only when they live there; nothing stays attached.
        QCOMPARE(Fixtures::value(m_lib->db, QStringLiteral("SELECT count(*) FROM pragma_database_list")).toInt(), 1);
        Database templateDb(templatePath);
        QCOMPARE(settingRows(templateDb), settingSwitch == 1 ? rows : QStringList{QStringLiteral("Stale=x")});
    }

private:
    static void switchRows() {
        QTest::addColumn<int>("settingSwitch");
        QTest::newRow("display settings in the INI file") << 0;
        QTest::newRow("display settings in the library") << 1;
    }
    QString iniPath() const { return m_lib->home.file(QStringLiteral("VornReader.ini")); }
    void writeIni(const QString& text) { QVERIFY(Fixtures::writeFile(iniPath(), text.toUtf8())); }
    QString ini(const char* section, const char* key) const {
        return IniFile::read(iniPath(), QLatin1String(section), QLatin1String(key))
            .value_or(QStringLiteral("<missing>"));
    }
    QVariant row(const QString& key) {
        return Fixtures::value(m_lib->db, QStringLiteral("SELECT Data FROM tblSetting WHERE KeyName = ?"), {key});
    }
    void setRow(const QString& key, const QString& data) { modDataBase::WriteINIMdbString(m_lib->db, key, data); }
    // A display setting where SettingSwitch makes the read look for it.
    void storeDisplay(int settingSwitch, const QString& key, const QString& text) {
        if (settingSwitch == 0) {
            IniFile::write(iniPath(), QStringLiteral("Setting"), key, text);
        } else {
            setRow(key, text);
        }
    }

    std::optional<LibraryFixture> m_lib;
};

QTEST_GUILESS_MAIN(TestModSetting)
#include "TestModSetting.moc"
