#include "AppHome.h"
#include "HomeSeeder.h"
#include "KeyCodeConvert.h"
#include "RecordingErrorBox.h"
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

    // The codes of a key text; "reported" when the text fails, which keeps every old code: a
    // record keeps its old keys, and a cleared key its old first code beyond the count.
    void keyCodeConvert_data() {
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<bool>("reported");
        const auto row = [](const char* name, const QString& text, const QList<int>& codes, bool reported = false) {
            QTest::newRow(name) << text << codes << reported;
        };
        row("empty text", QString(), {});
        row("first character of a word", "Load", {76});
        row("lower-case letter", "l", {108});
        row("F1, F5, F12", "{F1} {F5} {F12}", {112, 116, 123});
        row("Enter gives no code", "{Enter}", {});
        row("two keys give two codes", "L U", {76, 85});
        row("space", "{Space}", {32});
        row("lone brace gives no code", "{", {});
        row("word without code in between", "{Enter} L {F2}", {76, 113});
        row("Latin-1 character", QStringLiteral("\u00e9"), {233});
        row("character outside the code page", QStringLiteral("\u3042"), {63});
        row("two spaces skip the empty word", "L  U", {76, 85});
        row("leading and trailing spaces", " P ", {80});
        row("words beyond the tenth are ignored", "A B C D E F G H I J K L", {65, 66, 67, 68, 69, 70, 71, 72, 73, 74});
        row("function key beyond 16 bits", "L {F99999}", {}, true);
    }
    void keyCodeConvert() {
        QFETCH(QString, keyText);
        QFETCH(QList<int>, expected);
        QFETCH(bool, reported);
        RecordingErrorBox box;
        std::array<qint16, 10> codes;
        codes.fill(-7);
        const qint16 count = modGeneral::KeyCodeConvert(keyText, codes);
        QList<int> kept(10, -7);
        std::copy(expected.begin(), expected.end(), kept.begin());
        QCOMPARE(QList<int>(codes.begin(), codes.end()), kept);
        QCOMPARE(int(count), int(expected.size()));
        QCOMPARE(box.reported(QStringLiteral("modGeneral.KeyCodeConvert")), reported);
        QCOMPARE(box.prompts.size(), reported ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestModGeneral)
#include "TestModGeneral.moc"
