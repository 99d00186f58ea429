#include "AppHome.h"
#include "Fixtures.h"
#include "IniFile.h"
#include "SettingKeys.h"
#include "Settings.h"
#include "modDataBase.h"
#include "modSetting.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList kLevels{QStringLiteral("Mainstream"), QStringLiteral("Plus"), QStringLiteral("A1")};

// Every key of the table with a value of its own, as a fresh file holds them after a write ('|' a
// line break). Positions and sizes in twips pass 32,767 on a wide or second screen.
QString canonicalIni() {
    QString funcFiles;
    for (int i = 2; i < FuncFileCount; ++i) {
        funcFiles += QStringLiteral("FuncFile%1=|").arg(i);
    }
    return QStringLiteral(
               "[VornReader]|MdbPath=/lib|MdbFile=friday.mdb|SeqPath=/seq|RecentFileCnt=2|RecentFile1=/texts/a.txt|"
               "RecentFile2=/texts/b.txt|ViewSwitch=1|SettingSwitch=0|HexSwitch=True|HexMode=True|SeqDateSave=True|"
               "FuncKey=F|NotCalledFor=True|NotCalledAnyParty=True|NotCalledParty=Friday|NotCalledWeeks=4||"
               "[frmVornReader]|FormLeft=40000|FormTop=-2000|FormWidth=38400|FormHeight=33000|SplitLeft1=12000|"
               "SplitLeft2=35000||[frmPreview]|FormLeft=10|FormTop=20|FormWidth=7000|FormHeight=8000||[Printer]|"
               "MarginLeft=12.5|MarginTop=11|MarginRight=10|MarginBottom=9|PaperSize=1|PaperBin=7|Orientation=2||"
               "[Setting]|FuncFile1=/lib/a.mdb|%1FuncFile27=/lib/ctrl f9.mdb|CallFontSize=18.5|CallFontName=Noto Sans|"
               "CallFontBold=False|CallFontItalic=True|SeqFontSize=7|SeqFontName=Arial|SeqFontBold=True|"
               "SeqFontItalic=False|PrintFontSize=50|PrintFontName=Liberation Mono|PrintFontBold=False|"
               "PrintFontItalic=False|CallForeColor=&H000000FF|CallBackColor=&H80000005|CallForeColorSel=&H8000000E|"
               "CallBackColorSel=&H80000010|SeqForeColor=&H00563412|SeqBackColor=&H80000005|"
               "SeqForeColorSel=&H8000000E|SeqBackColorSel=&H8000000D|KeyCustom1={F5}|KeyCustom2=L U|KeyCustom3=|"
               "KeyCustom4=A|KeyVornMP1=L|KeyVornMP2=U|KeyVornMP3=P|KeyVornMP4=R|KeyVornMP5=W|KeyVornMP6=G|"
               "KeyVornMP7=S|KeyOther1=T|KeyOther2=H|KeyOther3={Space}|SequenceSort=1|CallRowMargin=40|"
               "PartyName=Club O'Neil|Author=Ann; \"A\" Smith|NotePrint=1|FormationPrint=0|TipTime=45|TimerSwitch=1|"
               "PartFormat=1|")
        .arg(funcFiles)
        .replace(QLatin1Char('|'), QLatin1Char('\n'));
}

} // namespace

class TestModSetting : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_lib;

    QString iniPath() const { return m_lib->home.file(QStringLiteral("VornReader.ini")); }
    QString iniText() const { return QString::fromUtf8(Fixtures::readFile(iniPath())); }
    QStringList settingRows(Database& db) const {
        return Fixtures::rows(db, QStringLiteral("SELECT KeyName || '=' || Data FROM tblSetting ORDER BY KeyName"));
    }
    void setRow(const QString& key, const QString& data) { modDataBase::WriteINIMdbString(m_lib->db, key, data); }
    void write(const Settings& s, bool minimised = false) {
        modSetting::WriteIniVornReader(s, minimised);
        modSetting::WriteIniMdbVornReader(s, &m_lib->db, kLevels);
    }

private Q_SLOTS:
    void init() { m_lib.emplace(); }

    void freshInstallationDefaults() {
        Settings s;
        modSetting::ReadIniVornReader(s);
        QCOMPARE(QStringList({s.Language, s.MdbPath, s.MdbFile, s.SeqPath}),
                 QStringList({"Japanese", AppHome::path(), "VornReader.mdb", QDir::homePath()}));
        const FormGeometry& f = s.mainForm;
        QCOMPARE(QList<int>({f.FormLeft, f.FormTop, f.FormWidth, f.FormHeight, s.SplitLeft1, s.SplitLeft2,
                             s.SettingSwitch, s.RecentFileCnt}),
                 QList<int>({0, 0, 9000, 6000, 2550, 5000, 1, 5}));
        QVERIFY(!s.mainFormSaved && !QFile::exists(iniPath()) && m_lib->box.prompts.isEmpty());
    }

    // The INI file's bytes are the contract: every key read from a file and written to a fresh one
    // comes out as it was. Written over the file it came from while the main window is minimised,
    // the file keeps its bytes: the hand-made lines, the language (never written), a section name
    // in other letters, and the main window's place.
    void iniRoundTrip() {
        const QString canonical = canonicalIni();
        QString handMade = canonical;
        handMade
            .replace(QStringLiteral("[VornReader]\n"), QStringLiteral("; by hand\n[VornReader]\nLanguage=English\n"))
            .replace(QStringLiteral("[Setting]\n"), QStringLiteral("[setting]\nCustom=keep me\n"))
            .append(QStringLiteral("\n[Notes]\nLine=one\n"));
        QVERIFY(Fixtures::writeFile(iniPath(), handMade.toUtf8()));
        Settings s;
        modSetting::ReadIniVornReader(s);
        // The database-switch paths come with the program's own settings, before any library is open.
        QCOMPARE(s.FuncFile[26], QStringLiteral("/lib/ctrl f9.mdb"));
        modSetting::ReadIniMdbVornReader(s, m_lib->db, kLevels);
        QVERIFY(s.mainFormSaved && s.Language == QLatin1String("English") && m_lib->box.prompts.isEmpty());
        s.mainForm = {1, 2, 3, 4};
        write(s, true);
        QCOMPARE(iniText(), handMade);
        QVERIFY(QFile::remove(iniPath()));
        s.mainForm = {40000, -2000, 38400, 33000};
        write(s);
        QCOMPARE(iniText(), canonical);
    }

    // A stored text as it is read, from the INI file or the library. A value that cannot be read
    // takes its default alone and is reported with its key; the view rows are still read.
    void readValues_data() {
        QTest::addColumn<bool>("library");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("reported");
        const auto row = [](bool library, const char* key, const char* stored, const char* read,
                            bool reported = false) {
            QTest::addRow("%s %s=%s", library ? "library" : "INI", key, stored)
                << library << QString(key) << QString(stored) << QString(read) << reported;
        };
        row(false, "CallFontSize", "3", "7");
        row(true, "CallFontSize", "72", "50");
        row(false, "CallFontSize", "12pt", "12");
        row(false, "CallFontBold", "TRUE", "True");
        row(true, "CallFontBold", "yes", "False");
        row(true, "SeqForeColor", "&hff", "&H000000FF");
        row(true, "SeqForeColor", "blue", "&H80000008", true);
        row(true, "PartFormat", "abc", "0", true);
        row(true, "ViewIndex(Plus)", "1e12", "0", true);
    }
    void readValues() {
        QFETCH(bool, library);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(bool, reported);
        if (library) {
            setRow(key, stored);
        } else {
            QVERIFY(IniFile::write(iniPath(), QStringLiteral("Setting"), key, stored));
        }
        setRow(QStringLiteral("ViewIndex(A1)"), QStringLiteral("3"));
        Settings s;
        modSetting::ReadIniVornReader(s);
        s.SettingSwitch = library ? 1 : 0;
        modSetting::ReadIniMdbVornReader(s, m_lib->db, kLevels);
        QString read = QString::number(s.ViewIndex[1]);
        for (const auto& [name, text] : SettingKeys::displayTexts(s)) {
            read = name == key ? text : read;
        }
        QTEST(read, "read");
        QCOMPARE(s.ViewIndex[2], 3);
        QCOMPARE(m_lib->box.prompts.size(), int(reported));
        QVERIFY(!reported || m_lib->box.prompts[0].contains(key));
    }

    void failedIniWriteIsReported() {
        Settings s;
        s.IniFile = m_lib->home.file(QStringLiteral("missing/VornReader.ini"));
        write(s);
        QVERIFY(m_lib->box.reported(QStringLiteral("modSetting.WriteIniVornReader")));
        QVERIFY(m_lib->box.reported(QStringLiteral("modSetting.WriteIniMdbVornReader")));
        QVERIFY(settingRows(m_lib->db).isEmpty());
    }

    // Closing a library writes its view rows whatever SettingSwitch says, only for levels with a
    // position; the display settings and the template only when they live in the library; the
    // switch paths never; nothing stays attached.
    void closingLibrary_data() {
        QTest::addColumn<int>("settingSwitch");
        QTest::newRow("display settings in the INI file") << 0;
        QTest::newRow("display settings in the library") << 1;
    }
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
        const QStringList rows = settingRows(m_lib->db);
        QCOMPARE(
            rows.filter(QRegularExpression(QStringLiteral("^View|^PartyName|^FuncFile"))),
            ((settingSwitch == 1 ? QStringList{"PartyName=Club O'Neil"} : QStringList()) +
             QStringList{"ViewIndex(A1)=12", "ViewIndex(Plus)=7", "ViewLevel=A1", "ViewRow(A1)=3", "ViewRow(Plus)=4"}));
        QCOMPARE(IniFile::read(iniPath(), QStringLiteral("Setting"), QStringLiteral("FuncFile1")), s.FuncFile[0]);
        QCOMPARE(Fixtures::value(m_lib->db, QStringLiteral("SELECT count(*) FROM pragma_database_list")).toInt(), 1);
        Database templateDb(templatePath);
        QCOMPARE(settingRows(templateDb), settingSwitch == 1 ? rows : QStringList{QStringLiteral("Stale=x")});
    }
};

QTEST_GUILESS_MAIN(TestModSetting)
#include "TestModSetting.moc"
