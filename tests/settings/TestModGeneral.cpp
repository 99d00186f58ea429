#include "AppHome.h"
#include "HomeSeeder.h"
#include "TestHome.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The keys of a translation file's [Translation] section.
QSet<int> keysOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QSet<int> keys;
    static const QRegularExpression entry(QStringLiteral("^(\\d{5})="));
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QRegularExpressionMatch match = entry.match(QString::fromUtf8(line));
        if (match.hasMatch()) {
            keys.insert(match.captured(1).toInt());
        }
    }
    return keys;
}

bool isTranslationKey(int n) {
    return (n >= 10100 && n <= 10932) || (n >= 20100 && n <= 21922) || (n >= 30101 && n <= 30302) ||
           (n >= 40101 && n <= 40505);
}

const QString kShipped = QStringLiteral(VORN_SOURCE_DIR "/src/support/resources/System/");

} // namespace

class TestModGeneral : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("Japanese"));
    }
    void cleanup() { m_home.reset(); }

    void bothFilesHoldTheSameKeys() {
        const QSet<int> english = keysOf(kShipped + QStringLiteral("TransEnglish.ini"));
        const QSet<int> japanese = keysOf(kShipped + QStringLiteral("TransJapanese.ini"));
        QVERIFY(english.size() > 150);
        QCOMPARE(QSet<int>(english).subtract(japanese), QSet<int>());
        QCOMPARE(QSet<int>(japanese).subtract(english), QSet<int>());
    }

    // Every translation key written in the program's code has a text in the shipped files.
    void everyKeyTheCodeUsesExists() {
        const QSet<int> shipped = keysOf(kShipped + QStringLiteral("TransEnglish.ini"));
        static const QRegularExpression number(QStringLiteral("\\b(\\d{5})\\b"));
        QStringList missing;
        int seen = 0;
        for (const char* folder : {"/src", "/app"}) {
            QDirIterator files(QStringLiteral(VORN_SOURCE_DIR) + QLatin1String(folder), {"*.cpp", "*.h"}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString text = QString::fromUtf8(file.readAll());
                for (const QRegularExpressionMatch& match : number.globalMatch(text)) {
                    const int key = match.captured(1).toInt();
                    if (isTranslationKey(key)) {
                        ++seen;
                        if (!shipped.contains(key)) {
                            missing.append(QString::number(key) + QStringLiteral(" in ") + file.fileName());
                        }
                    }
                }
            }
        }
        QVERIFY(seen > 10);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    void languagePicksTheFile_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << QStringLiteral("English") << QStringLiteral("the clipboard");
        QTest::newRow("english in lower case is Japanese")
            << QStringLiteral("english") << QStringLiteral("クリップボード");
        QTest::newRow("default") << QStringLiteral("Japanese") << QStringLiteral("クリップボード");
    }
    void languagePicksTheFile() {
        QFETCH(QString, language);
        modGeneral::SetLanguage(language);
        QTEST(modGeneral::LoadTransString(40302, QStringLiteral("default")), "text");
        QCOMPARE(modGeneral::LoadTransString(49999, QStringLiteral("default")), QStringLiteral("default"));
    }

    // A home seeded by an older version lacks the newer texts: they come from the shipped copy,
    // while the user's own edits of the older ones stay.
    void newerTextsComeFromTheShippedCopy() {
        const QString english = AppHome::path() + QStringLiteral("/System/TransEnglish.ini");
        QFile file(english);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Translation]\r\n40302=my clipboard\r\n");
        file.close();
        modGeneral::SetLanguage(QStringLiteral("English"));
        QCOMPARE(modGeneral::LoadTransString(40302), QStringLiteral("my clipboard"));
        QCOMPARE(modGeneral::LoadTransString(40301), QStringLiteral("%2 sequences were read from %1."));
    }

    // A count of one reads in the singular in English; Japanese has a text for either key.
    void countedMessages_data() {
        QTest::addColumn<QList<int>>("keys"); // many, one
        QTest::addColumn<QString>("one");
        QTest::addColumn<QString>("three");
        QTest::newRow("export question")
            << QList<int>{40221, 40225} << "Move 1 sequence to t.mdb?\r\nIt will be deleted from the source database."
            << "Move 3 sequences to t.mdb?\r\nThey will be deleted from the source database.";
        QTest::newRow("export progress") << QList<int>{20904, 20909} << "Moving 1 sequence to t.mdb..."
                                         << "Moving 3 sequences to t.mdb...";
        QTest::newRow("delete question") << QList<int>{40131, 40136}
                                         << "Delete 1 sequence?\r\nIts calls are deleted as well."
                                         << "Delete 3 sequences?\r\nTheir calls are deleted as well.";
        QTest::newRow("left out of a sheet")
            << QList<int>{40142, 40143} << "1 sequence was left out: a sheet holds at most t.mdb columns."
            << "3 sequences were left out: a sheet holds at most t.mdb columns.";
        QTest::newRow("replaced") << QList<int>{40503, 40507} << "1 replacement was made."
                                  << "3 replacements were made.";
        QTest::newRow("replace question") << QList<int>{40504, 40508} << "1 match was found.\r\nReplace it?"
                                          << "3 matches were found.\r\nReplace them all?";
    }
    void countedMessages() {
        QFETCH(QList<int>, keys);
        const QVariantList more{QStringLiteral("t.mdb")};
        modGeneral::SetLanguage(QStringLiteral("English"));
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
        modGeneral::SetLanguage(QStringLiteral("English"));
        QTEST(modGeneral::ErrorSentence(procedure, number), "sentence");
    }

    void seedingKeepsUserFiles() {
        const QString english = AppHome::path() + QStringLiteral("/System/TransEnglish.ini");
        QVERIFY(QFile::exists(AppHome::path() + QStringLiteral("/vornreader_org.mdb")));
        QVERIFY(
            modSystem::WriteIniValue(QStringLiteral("Translation"), QStringLiteral("40302"), "my clipboard", english));
        // A help page from an older version gives way to the one this version ships.
        QFile help(AppHome::path() + QStringLiteral("/System/VornReader.html"));
        QVERIFY(help.open(QIODevice::WriteOnly | QIODevice::Truncate));
        help.write("<p>「データベースの新規作成」</p>");
        help.close();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        QCOMPARE(modGeneral::LoadTransString(40302), QStringLiteral("my clipboard"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        QFile shipped(QStringLiteral(":/System/VornReader.html"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QCOMPARE(help.readAll(), shipped.readAll());
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

private:
    std::unique_ptr<TestHome> m_home;
};

QTEST_GUILESS_MAIN(TestModGeneral)
#include "TestModGeneral.moc"
