#include "AppHome.h"
#include "Fixtures.h"
#include "HomeSeeder.h"
#include "KeyCodeConvert.h"
#include "modGeneral.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The five-digit translation keys in text: every one of a file's [Translation] section, or only
// those in the translation ranges (x0100 to x1922 for x from 1 to 4).
QSet<int> keysIn(const QString& text, bool file) {
    static const QRegularExpression entry(QStringLiteral("(?:^|\\n)(\\d{5})="));
    static const QRegularExpression number(QStringLiteral("\\b(\\d{5})\\b"));
    QSet<int> keys;
    for (const QRegularExpressionMatch& match : (file ? entry : number).globalMatch(text)) {
        const int n = match.captured(1).toInt();
        if (file || (n >= 10100 && n < 50000 && n % 10000 >= 100 && n % 10000 <= 1922)) {
            keys.insert(n);
        }
    }
    return keys;
}

QString shipped(const char* name) {
    return QString::fromUtf8(
        Fixtures::readFile(QStringLiteral(VORN_SOURCE_DIR "/src/support/resources/System/") + name));
}

} // namespace

class TestModGeneral : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;

private Q_SLOTS:
    void init() {
        m_home.emplace();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
    }

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
                used += keysIn(QString::fromUtf8(Fixtures::readFile(files.next())), false);
            }
        }
        QVERIFY(used.size() > 10);
        QCOMPARE(used - english, QSet<int>());
    }

    // Seeded again over a home of an older version, the user's edits of the texts stay, the newer
    // texts come from the shipped copy, and the help page is this version's.
    void seedingKeepsUserTexts() {
        const QString system = AppHome::path() + QStringLiteral("/System/");
        QVERIFY(Fixtures::writeFile(system + "TransEnglish.ini", "[Translation]\r\n40302=my clipboard\r\n"));
        QVERIFY(Fixtures::writeFile(system + "VornReader.html", "<p>old help</p>"));
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        QCOMPARE(modGeneral::LoadTransString(40302), QStringLiteral("my clipboard"));
        QCOMPARE(modGeneral::LoadTransString(40301), QStringLiteral("%2 sequences were read from %1."));
        QCOMPARE(Fixtures::readFile(system + "VornReader.html"), Fixtures::readFile(":/System/VornReader.html"));
    }

    // The error box's first sentence: what the caller was doing, and the cause when the number names
    // it beyond doubt. Arguments go in from %1 up, "\n" as a line break. A count of one reads in the
    // singular in English; Japanese has a text for either key. English only by that exact name; a
    // key without a text gives the default.
    void texts() {
        QCOMPARE(modGeneral::ErrorSentence("frmVornReader.mnuSequenceState_Click", 1032),
                 "A change could not be saved in the library. The library is read-only.");
        QCOMPARE(modGeneral::ErrorSentence("frmVornReader.CreateList", 266),
                 "The library could not be shown. The library could not be read or written (input/output error).");
        QCOMPARE(modGeneral::ErrorSentence("somewhere.Else", 5), "VornReader could not finish what it was doing.");
        QCOMPARE(modGeneral::MessageFormat("Deleted %1 of %2.\\nContinue?", {3, 5}), "Deleted 3 of 5.\r\nContinue?");
        QCOMPARE(modGeneral::MessageFormat("%10|%2", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}), "a0|b");
        QCOMPARE(modGeneral::MessageFormat("100%1", {}), "100%1");
        const QVariantList more{QStringLiteral("t.mdb")};
        QCOMPARE(modGeneral::TransCount(40221, 40225, 1, more),
                 "Move 1 sequence to t.mdb?\r\nIt will be deleted from the source database.");
        QCOMPARE(modGeneral::TransCount(40221, 40225, 3, more),
                 "Move 3 sequences to t.mdb?\r\nThey will be deleted from the source database.");
        QCOMPARE(modGeneral::LoadTransString(49999, QStringLiteral("default")), QStringLiteral("default"));
        modGeneral::SetLanguage(QStringLiteral("english"));
        QCOMPARE(modGeneral::LoadTransString(40302), QStringLiteral("クリップボード"));
        QVERIFY(modGeneral::TransCount(40221, 40225, 1, more).contains(QStringLiteral("1 件")));
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
        row("F1, F5, F12", "{F1} {F5} {F12}", {112, 116, 123});
        row("words without code in between", "{ {Enter} L {F2} {Space}", {76, 113, 32});
        row("Latin-1 and a character outside the code page", QStringLiteral("\u00e9 \u3042"), {233, 63});
        row("first characters, two spaces skip the empty word", " Load  U", {76, 85});
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
    }
};

QTEST_GUILESS_MAIN(TestModGeneral)
#include "TestModGeneral.moc"
