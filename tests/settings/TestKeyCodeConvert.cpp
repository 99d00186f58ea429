#include "KeyCodeConvert.h"
#include "RecordingErrorBox.h"

#include <QTest>

class TestKeyCodeConvert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The codes of a key text; "reported" when the text fails, which keeps every old code: a
    // record keeps its old keys, and a cleared key its old first code beyond the count.
    void convert_data() {
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
    void convert() {
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

QTEST_GUILESS_MAIN(TestKeyCodeConvert)
#include "TestKeyCodeConvert.moc"
