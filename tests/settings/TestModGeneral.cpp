#include "AppHome.h"
#include "HomeSeeder.h"
#include "TestHome.h"
#include "modGeneral.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The five-digit translation keys in text: every one of a file's [Translation] section, or only
// those in the translation ranges.
QSet<int> keysIn(const QString& text, bool file) {
    static const QRegularExpression entry(QStringLiteral("(?:^|\\n)(\\d{5})="));
    static const QRegularExpression number(QStringLiteral("\\b(\\d{5})\\b"));
    QSet<int> keys;
    for (const QRegularExpressionMatch& match : (file ? entry : number).globalMatch(text)) {
        const int n = match.captured(1).toInt();
        if (file || (n >= 10100 && n <= 10932) || (n >= 20100 && n <= 21922) || (n >= 30101 && n <= 30302) ||
            (n >= 40101 && n <= 40505)) {
            keys.insert(n);
        }
    }
    return keys;
}

QString shipped(const char* name) {
    QFile file(QStringLiteral(VORN_SOURCE_DIR "/src/support/resources/System/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestModGeneral : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
    }
    void cleanup() { m_home.reset(); }

    // Both shipped files hold the same keys, and every key the program's code names has a text.
    void everyKeyHasATextInBothLanguages() {
        const QSet<int> english = keysIn(shipped("TransEnglish.ini"), true);
        QVERIFY(english.size() > 150);
        QCOMPARE(keysIn(shipped("TransJapanese.ini"), true), english);
        QSet<int> used;
        for (const char* folder : {"/src", "/app"}) {
            QDirIterator files(QStringLiteral(VORN_SOURCE_DIR) + QLatin1String(folder), {"*.cpp", "*.h"}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                used += keysIn(QString::fromUtf8(file.readAll()), false);
            }
        }
        QVERIFY(used.size() > 10);
        QCOMPARE(used - english, QSet<int>());
    }

    void languagePicksTheFile_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << QStringLiteral("English") << QStringLiteral("the clipboard");
        QTest::newRow("english in lower case is Japanese") << "english" << QStringLiteral("クリップボード");
        QTest::newRow("default") << QStringLiteral("Japanese") << QStringLiteral("クリップボード");
    }
    void languagePicksTheFile() {
        QFETCH(QString, language);
        modGeneral::SetLanguage(language);
        QTEST(modGeneral::LoadTransString(40302, QStringLiteral("default")), "text");
        QCOMPARE(modGeneral::LoadTransString(49999, QStringLiteral("default")), QStringLiteral("default"));
    }

    // Seeded again over a home of an older version, the user's edits of the texts stay, the newer
    // texts come from the shipped copy, and the help page is this version's.
    void seedingKeepsUserTexts() {
        QFile english(AppHome::path() + QStringLiteral("/System/TransEnglish.ini"));
        QVERIFY(english.open(QIODevice::WriteOnly | QIODevice::Truncate));
        english.write("[Translation]\r\n40302=my clipboard\r\n");
        english.close();
        QFile help(AppHome::path() + QStringLiteral("/System/VornReader.html"));
        QVERIFY(help.open(QIODevice::WriteOnly | QIODevice::Truncate));
        help.write("<p>「データベースの新規作成」</p>");
        help.close();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        QCOMPARE(modGeneral::LoadTransString(40302), QStringLiteral("my clipboard"));
        QCOMPARE(modGeneral::LoadTransString(40301), QStringLiteral("%2 sequences were read from %1."));
        QFile shippedHelp(QStringLiteral(":/System/VornReader.html"));
        QVERIFY(help.open(QIODevice::ReadOnly) && shippedHelp.open(QIODevice::ReadOnly));
        QCOMPARE(help.readAll(), shippedHelp.readAll());
        QVERIFY(QFile::exists(AppHome::path() + QStringLiteral("/vornreader_org.mdb")));
    }

    // A count of one reads in the singular in English; Japanese has a text for either key.
    void countedMessages_data() {
        QTest::addColumn<QList<int>>("keys"); // many, one
        QTest::addColumn<QString>("one");
        QTest::addColumn<QString>("three");
        QTest::newRow("export question")
            << QList<int>{40221, 40225} << "Move 1 sequence to t.mdb?\r\nIt will be deleted from the source database."
            << "Move 3 sequences to t.mdb?\r\nThey will be deleted from the source database.";
        QTest::newRow("left out of a sheet")
            << QList<int>{40142, 40143} << "1 sequence was left out: a sheet holds at most t.mdb columns."
            << "3 sequences were left out: a sheet holds at most t.mdb columns.";
        QTest::newRow("replace question") << QList<int>{40504, 40508} << "1 match was found.\r\nReplace it?"
                                          << "3 matches were found.\r\nReplace them all?";
    }
    void countedMessages() {
        QFETCH(QList<int>, keys);
        const QVariantList more{QStringLiteral("t.mdb")};
        QTEST(modGeneral::TransCount(keys[0], keys[1], 1, more), "one");
        QTEST(modGeneral::TransCount(keys[0], keys[1], 3, more), "three");
        modGeneral::SetLanguage(QStringLiteral("Japanese"));
        QVERIFY(modGeneral::TransCount(keys[0], keys[1], 1, more).contains(QStringLiteral("1 件")));
    }

    // The error box's first sentence: what the caller was doing, and the cause when the number
    // names it beyond doubt.
    void errorSentence_data() {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("reading") << "modSeqText.ReadSequenceText" << 19
                                 << "A sequence could not be read into the library.";
        QTest::newRow("a change, read-only") << "frmVornReader.mnuSequenceState_Click" << 1032
                                             << "A change could not be saved in the library. The library is read-only.";
        QTest::newRow("showing, I/O") << "frmVornReader.CreateList" << 266
                                      << "The library could not be shown. The library could not be read or written "
                                         "(input/output error).";
        QTest::newRow("program's own number")
            << "frmVornReader.grdHistory_ValidateEdit" << 13 << "A change could not be saved in the library.";
        QTest::newRow("anything else") << "somewhere.Else" << 5 << "VornReader could not finish what it was doing.";
    }
    void errorSentence() {
        QFETCH(QString, procedure);
        QFETCH(int, number);
        QTEST(modGeneral::ErrorSentence(procedure, number), "sentence");
    }

    void messageFormat_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("result");
        QTest::newRow("line break and two arguments")
            << "Deleted %1 of %2.\\nContinue?" << QVariantList{3, 5} << "Deleted 3 of 5.\r\nContinue?";
        QTest::newRow("%1 before %10") << "%10|%2" << QVariantList{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}
                                       << "a0|b";
        QTest::newRow("no arguments") << QStringLiteral("100%1") << QVariantList{} << QStringLiteral("100%1");
    }
    void messageFormat() {
        QFETCH(QString, text);
        QFETCH(QVariantList, arguments);
        QTEST(modGeneral::MessageFormat(text, arguments), "result");
    }
};

QTEST_GUILESS_MAIN(TestModGeneral)
#include "TestModGeneral.moc"
