#include "AppHome.h"
#include "Database.h"
#include "DisplaySettings.h"
#include "Fixtures.h"
#include "IniFile.h"
#include "RecordingErrorBox.h"
#include "Settings.h"
#include "TestHome.h"
#include "modDataBase.h"
#include "modSetting.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

const QStringList kLevels{QStringLiteral("Mainstream"), QStringLiteral("Plus"), QStringLiteral("A1")};
const QString kReadMdb = QStringLiteral("modSetting.ReadIniMdbVornReader");

QStringList displayTexts(const Settings& settings) {
    QStringList texts;
    for (const auto& [key, text] : DisplaySettings::texts(settings)) {
        texts.append(key + QLatin1Char('=') + text);
    }
    return texts;
}

QStringList settingRows(Database& db) {
    QStringList rows;
    Statement statement = db.prepare(QStringLiteral("SELECT KeyName, Data FROM tblSetting ORDER BY KeyName"));
    while (statement.step()) {
        rows.append(statement.text(0) + QLatin1Char('=') + statement.text(1));
    }
    return rows;
}

// One data row per place the display settings can live: SettingSwitch 0 (INI) and 1 (library).
void addSwitchRows(const char* name, const std::function<void(QTestData&)>& values) {
    for (int settingSwitch : {0, 1}) {
        values(QTest::addRow("%s, %s", name, settingSwitch == 0 ? "INI" : "library") << settingSwitch);
    }
}

} // namespace

class TestModSetting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void freshInstallationDefaults();
    void recentFileCount_data();
    void recentFileCount();
    void recentListStopsAtFirstEmptyEntry();
    void minimisedWindowKeepsGeometry_data();
    void minimisedWindowKeepsGeometry();
    void untouchedLinesAndLanguageSurvive();
    void failedIniWriteIsReported();
    void fontValues_data();
    void fontValues();
    void colour_data();
    void colour();
    void displaySettingsRoundTrip_data();
    void displaySettingsRoundTrip();
    void viewPositionsRead();
    void closingLibrary_data();
    void closingLibrary();
    void partFormat_data();
    void partFormat();
    void libraryWithoutSettingTable();

private:
    QString iniPath() const { return m_home->file(QStringLiteral("VornReader.ini")); }
    void writeIni(const QString& text) {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    QString ini(const QString& section, const QString& key) const {
        return IniFile::read(iniPath(), section, key).value_or(QStringLiteral("<missing>"));
    }
    QVariant row(const QString& key) {
        return Fixtures::value(*m_db, QStringLiteral("SELECT Data FROM tblSetting WHERE KeyName = ?"), {key});
    }
    void setRow(const QString& key, const QString& data) { modDataBase::WriteINIMdbString(*m_db, key, data); }
    // A display setting where SettingSwitch makes the read look for it.
    void storeDisplay(int settingSwitch, const QString& key, const QString& text) {
        if (settingSwitch == 0) {
            IniFile::write(iniPath(), QStringLiteral("Setting"), key, text);
        } else {
            setRow(key, text);
        }
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<Database> m_db;
};

void TestModSetting::init() {
    m_home = std::make_unique<TestHome>();
    m_box = std::make_unique<RecordingErrorBox>();
    m_db = std::make_unique<Database>();
    Fixtures::createLibrary(*m_db, m_home->path());
}

void TestModSetting::cleanup() {
    m_db.reset();
    m_box.reset();
    m_home.reset();
}

void TestModSetting::freshInstallationDefaults() {
    Settings s;
    s.mainForm = {1, 2, 3, 4};
    s.SplitLeft1 = s.SplitLeft2 = s.SettingSwitch = s.RecentFileCnt = 9;
    s.Language = s.MdbPath = s.MdbFile = s.SeqPath = QStringLiteral("changed");
    modSetting::ReadIniVornReader(s);

    const QList<int> geometry{s.mainForm.FormLeft,   s.mainForm.FormTop, s.mainForm.FormWidth,
                              s.mainForm.FormHeight, s.SplitLeft1,       s.SplitLeft2};
    QCOMPARE(geometry, (QList<int>{0, 0, 9000, 6000, 2550, 5000}));
    QCOMPARE(s.SettingSwitch, 1);
    QCOMPARE(s.RecentFileCnt, 5);
    QCOMPARE(s.Language, QStringLiteral("Japanese"));
    QCOMPARE(s.MdbPath, AppHome::path());
    QCOMPARE(s.MdbFile, QStringLiteral("VornReader.mdb"));
    QCOMPARE(s.SeqPath, QDir::homePath());
    QVERIFY(!QFile::exists(iniPath()));
    QVERIFY(m_box->prompts.isEmpty());
}

void TestModSetting::recentFileCount_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("35 is clamped") << QStringLiteral("35") << 20;
    QTest::newRow("7 stays") << QStringLiteral("7") << 7;
    QTest::newRow("negative gives none") << QStringLiteral("-3") << 0;
}

void TestModSetting::recentFileCount() {
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
    QCOMPARE(ini(QStringLiteral("VornReader"), QStringLiteral("RecentFileCnt")), QString::number(expected));
}

void TestModSetting::recentListStopsAtFirstEmptyEntry() {
    writeIni(QStringLiteral("[VornReader]\nRecentFile2=old2\nRecentFile3=old3\n"));
    Settings s;
    s.RecentFileCnt = 3;
    s.RecentFile[0] = QStringLiteral("a");
    s.RecentFile[2] = QStringLiteral("c");
    modSetting::WriteIniVornReader(s, false);
    QCOMPARE(ini(QStringLiteral("VornReader"), QStringLiteral("RecentFile1")), QStringLiteral("a"));
    QCOMPARE(ini(QStringLiteral("VornReader"), QStringLiteral("RecentFile2")), QStringLiteral("old2"));
    QCOMPARE(ini(QStringLiteral("VornReader"), QStringLiteral("RecentFile3")), QStringLiteral("old3"));
}

void TestModSetting::minimisedWindowKeepsGeometry_data() {
    QTest::addColumn<bool>("minimised");
    QTest::newRow("minimised") << true;
    QTest::newRow("normal") << false;
}

void TestModSetting::minimisedWindowKeepsGeometry() {
    QFETCH(bool, minimised);
    writeIni(QStringLiteral("[frmVornReader]\nFormLeft=111\nFormTop=112\nFormWidth=113\nFormHeight=114\n"
                            "SplitLeft1=115\nSplitLeft2=116\n"));
    Settings s;
    s.mainForm = {1, 2, 3, 4};
    s.SplitLeft1 = 5;
    s.SplitLeft2 = 6;
    s.previewForm = {7, 8, 9, 10};
    modSetting::WriteIniVornReader(s, minimised);

    Settings r;
    modSetting::ReadIniVornReader(r);
    const QList<int> main{r.mainForm.FormLeft,   r.mainForm.FormTop, r.mainForm.FormWidth,
                          r.mainForm.FormHeight, r.SplitLeft1,       r.SplitLeft2};
    const QList<int> expected = minimised ? QList<int>{111, 112, 113, 114, 115, 116} : QList<int>{1, 2, 3, 4, 5, 6};
    QCOMPARE(main, expected);
    const QList<int> preview{r.previewForm.FormLeft, r.previewForm.FormTop, r.previewForm.FormWidth,
                             r.previewForm.FormHeight};
    QCOMPARE(preview, (QList<int>{7, 8, 9, 10}));
}

void TestModSetting::untouchedLinesAndLanguageSurvive() {
    const QStringList kept{QStringLiteral("; settings kept by hand"),
                           QStringLiteral("[VornReader]"),
                           QStringLiteral("Language=English"),
                           QStringLiteral("; the Friday library"),
                           QStringLiteral("Custom=keep me"),
                           QStringLiteral("[Notes]"),
                           QStringLiteral("Line=one")};
    writeIni(kept.mid(0, 4).join(QLatin1Char('\n')) + QStringLiteral("\nMdbFile=friday.mdb\n") +
             kept.mid(4).join(QLatin1Char('\n')) + QLatin1Char('\n'));
    Settings s;
    modSetting::ReadIniVornReader(s);
    QCOMPARE(s.Language, QStringLiteral("English"));
    QCOMPARE(s.MdbFile, QStringLiteral("friday.mdb"));
    s.Language = QStringLiteral("Japanese");
    s.MdbFile = QStringLiteral("saturday.mdb");
    modSetting::WriteIniVornReader(s, false);
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);

    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    qsizetype previous = -1;
    for (const QString& line : kept) {
        QVERIFY2(lines.indexOf(line) > previous, qPrintable(line));
        previous = lines.indexOf(line);
    }
    QCOMPARE(lines.indexOf(QStringLiteral("MdbFile=saturday.mdb")), lines.indexOf(kept[3]) + 1);
}

void TestModSetting::failedIniWriteIsReported() {
    Settings s;
    s.IniFile = m_home->file(QStringLiteral("missing/VornReader.ini"));
    modSetting::WriteIniVornReader(s, false);
    QVERIFY(m_box->reported(QStringLiteral("modSetting.WriteIniVornReader")));
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);
    QVERIFY(m_box->reported(QStringLiteral("modSetting.WriteIniMdbVornReader")));
    QVERIFY(row(QStringLiteral("ViewLevel")).isNull());
}

void TestModSetting::fontValues_data() {
    QTest::addColumn<int>("settingSwitch");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("bold");
    QTest::addColumn<double>("expectedSize");
    QTest::addColumn<bool>("expectedBold");
    QTest::addColumn<QString>("writtenSize");
    addSwitchRows("3, TRUE", [](QTestData& row) {
        row << "3"
            << "TRUE" << 7.0 << true << "7";
    });
    addSwitchRows("72, yes", [](QTestData& row) {
        row << "72"
            << "yes" << 50.0 << false << "50";
    });
    addSwitchRows("10.5, true", [](QTestData& row) {
        row << "10.5"
            << "true" << 10.5 << true << "10.5";
    });
    addSwitchRows("12pt, 1", [](QTestData& row) {
        row << "12pt"
            << "1" << 12.0 << false << "12";
    });
}

void TestModSetting::fontValues() {
    QFETCH(int, settingSwitch);
    QFETCH(QString, size);
    QFETCH(QString, bold);
    QFETCH(double, expectedSize);
    QFETCH(bool, expectedBold);
    QFETCH(QString, writtenSize);
    storeDisplay(settingSwitch, QStringLiteral("CallFontSize"), size);
    storeDisplay(settingSwitch, QStringLiteral("CallFontBold"), bold);
    storeDisplay(settingSwitch, QStringLiteral("PrintFontItalic"), bold);
    Settings s;
    s.SettingSwitch = settingSwitch;
    s.callFont.bold = !expectedBold;
    modSetting::ReadIniMdbVornReader(s, *m_db, kLevels);
    QCOMPARE(s.callFont.size, expectedSize);
    QCOMPARE(s.callFont.bold, expectedBold);
    QCOMPARE(s.printFont.italic, expectedBold);
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);
    QCOMPARE(ini(QStringLiteral("Setting"), QStringLiteral("CallFontSize")), writtenSize);
    QCOMPARE(row(QStringLiteral("CallFontSize")).toString(), settingSwitch == 1 ? writtenSize : QString());
}

void TestModSetting::colour_data() {
    QTest::addColumn<int>("settingSwitch");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<quint32>("expected");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("reported");
    addSwitchRows("pure blue", [](QTestData& row) { row << "&H00FF0000" << 0x00FF0000u << "&H00FF0000" << false; });
    addSwitchRows("system colour", [](QTestData& row) { row << "&H8000000D" << 0x8000000Du << "&H8000000D" << false; });
    addSwitchRows("short lower-case", [](QTestData& row) { row << "&hff" << 0xFFu << "&H000000FF" << false; });
    addSwitchRows("no colour", [](QTestData& row) { row << "blue" << SystemWindowText << "&H80000008" << true; });
    addSwitchRows("nine digits",
                  [](QTestData& row) { row << "&H1000000FF" << SystemWindowText << "&H80000008" << true; });
}

void TestModSetting::colour() {
    QFETCH(int, settingSwitch);
    QFETCH(QString, stored);
    QFETCH(quint32, expected);
    QFETCH(QString, written);
    QFETCH(bool, reported);
    storeDisplay(settingSwitch, QStringLiteral("SeqForeColor"), stored);
    storeDisplay(settingSwitch, QStringLiteral("SeqBackColorSel"), QStringLiteral("&H00000001"));
    Settings s;
    s.SettingSwitch = settingSwitch;
    s.SeqForeColor = 0x123;
    modSetting::ReadIniMdbVornReader(s, *m_db, kLevels);
    QCOMPARE(s.SeqForeColor, expected);
    QCOMPARE(s.SeqBackColorSel, 1u);
    QCOMPARE(m_box->reported(kReadMdb), reported);
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);
    QCOMPARE(ini(QStringLiteral("Setting"), QStringLiteral("SeqForeColor")), written);
}

void TestModSetting::displaySettingsRoundTrip_data() {
    QTest::addColumn<int>("settingSwitch");
    QTest::newRow("INI") << 0;
    QTest::newRow("library") << 1;
}

void TestModSetting::displaySettingsRoundTrip() {
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
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);

    Settings r;
    r.SettingSwitch = settingSwitch;
    modSetting::ReadIniMdbVornReader(r, *m_db, kLevels);
    QCOMPARE(displayTexts(r), displayTexts(s));
    QCOMPARE(r.FuncFile[26], s.FuncFile[26]);
    const QList<int> codes{r.keyTable[0].Count, r.keyTable[0].Codes[0], r.keyTable[4].Count, r.keyTable[4].Codes[1],
                           r.keyTable[13].Count};
    QCOMPARE(codes, (QList<int>{1, 116, 2, 85, 0}));
    QVERIFY(m_box->prompts.isEmpty());
}

void TestModSetting::viewPositionsRead() {
    setRow(QStringLiteral("ViewLevel"), QStringLiteral("Plus"));
    setRow(QStringLiteral("ViewIndex(Plus)"), QStringLiteral("12abc"));
    setRow(QStringLiteral("ViewRow(Plus)"), QStringLiteral(" 4"));
    setRow(QStringLiteral("ViewIndex(A1)"), QStringLiteral("x"));
    Settings s;
    s.ViewIndex.fill(99);
    s.ViewRow.fill(99);
    s.CallDate = QStringLiteral("2000/01/01");
    modSetting::ReadIniMdbVornReader(s, *m_db, kLevels);
    QCOMPARE(s.ViewLevel, QStringLiteral("Plus"));
    const QList<int> positions{s.ViewIndex[0], s.ViewIndex[1], s.ViewRow[1], s.ViewIndex[2], s.ViewIndex[3]};
    QCOMPARE(positions, (QList<int>{0, 12, 4, 0, 99}));
    QCOMPARE(s.CallDate, QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    QVERIFY(m_box->prompts.isEmpty());
}

void TestModSetting::closingLibrary_data() {
    QTest::addColumn<int>("settingSwitch");
    QTest::newRow("display settings in the INI file") << 0;
    QTest::newRow("display settings in the library") << 1;
}

void TestModSetting::closingLibrary() {
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
    modSetting::WriteIniMdbVornReader(s, m_db.get(), kLevels);
    QVERIFY(m_box->prompts.isEmpty());

    // The view rows are written whatever SettingSwitch says, only for levels with a position.
    const QStringList rows = settingRows(*m_db);
    for (const char* expected :
         {"ViewLevel=A1", "ViewIndex(A1)=12", "ViewRow(A1)=3", "ViewIndex(Plus)=7", "ViewRow(Plus)=4"}) {
        QVERIFY2(rows.contains(QLatin1String(expected)), expected);
    }
    QVERIFY(row(QStringLiteral("ViewIndex(Mainstream)")).isNull());
    QCOMPARE(rows.contains(QStringLiteral("PartyName=Club O'Neil")), settingSwitch == 1);
    QCOMPARE(ini(QStringLiteral("Setting"), QStringLiteral("PartyName")), s.PartyName);
    QVERIFY(row(QStringLiteral("FuncFile1")).isNull());
    QCOMPARE(ini(QStringLiteral("Setting"), QStringLiteral("FuncFile1")), s.FuncFile[0]);

    // The template takes the library's settings only when they live there; nothing stays attached.
    QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM pragma_database_list")).toInt(), 1);
    Database templateDb(templatePath);
    QCOMPARE(settingRows(templateDb), settingSwitch == 1 ? rows : QStringList{QStringLiteral("Stale=x")});
}

void TestModSetting::partFormat_data() {
    QTest::addColumn<int>("settingSwitch");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<int>("expected");
    QTest::newRow("library, number") << 1 << QStringLiteral(" 1 ") << false << 1;
    QTest::newRow("library, trailing text") << 1 << QStringLiteral("1x") << true << 5;
    QTest::newRow("library, text") << 1 << QStringLiteral("abc") << true << 5;
    QTest::newRow("INI, text") << 0 << QStringLiteral("abc") << false << 0;
}

void TestModSetting::partFormat() {
    QFETCH(int, settingSwitch);
    QFETCH(QString, stored);
    QFETCH(bool, failed);
    QFETCH(int, expected);
    storeDisplay(settingSwitch, QStringLiteral("TipTime"), QStringLiteral("30"));
    storeDisplay(settingSwitch, QStringLiteral("CallFontSize"), QStringLiteral("20"));
    storeDisplay(settingSwitch, QStringLiteral("KeyOther1"), QStringLiteral("X"));
    storeDisplay(settingSwitch, QStringLiteral("PartFormat"), stored);
    Settings s;
    s.SettingSwitch = settingSwitch;
    s.PartFormat = 5;
    s.CallDate = QStringLiteral("2000/01/01");
    modSetting::ReadIniMdbVornReader(s, *m_db, kLevels);

    QCOMPARE(m_box->reported(kReadMdb), failed);
    QCOMPARE(s.PartFormat, expected);
    // What was read before the failure keeps its new value; the rest keeps its old one.
    QCOMPARE(s.TipTime, 30);
    QCOMPARE(s.callFont.size, failed ? 14.0 : 20.0);
    QCOMPARE(s.keyTable[11].Text, failed ? QStringLiteral("T") : QStringLiteral("X"));
    QCOMPARE(s.CallDate == QStringLiteral("2000/01/01"), failed);
}

void TestModSetting::libraryWithoutSettingTable() {
    Database plain(m_home->file(QStringLiteral("plain.mdb")), Database::Mode::Create);
    plain.exec(QStringLiteral("CREATE TABLE tblOther (x)"));
    Settings s;
    modSetting::ReadIniMdbVornReader(s, plain, kLevels);
    QVERIFY(m_box->reported(kReadMdb));
    m_box->prompts.clear();
    s.FuncFile[1] = QStringLiteral("/libraries/b.mdb");
    modSetting::WriteIniMdbVornReader(s, &plain, kLevels);
    modSetting::WriteIniMdbVornReader(s, nullptr, kLevels);
    QVERIFY(m_box->prompts.isEmpty());
    QCOMPARE(ini(QStringLiteral("Setting"), QStringLiteral("FuncFile2")), s.FuncFile[1]);
}

QTEST_GUILESS_MAIN(TestModSetting)
#include "TestModSetting.moc"
