#include "KeyCodeConvert.h"
#include "RecordingErrorBox.h"

#include <QTest>

class TestKeyCodeConvert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void convert_data() {
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("empty text") << QString() << QList<int>{};
        QTest::newRow("first character of a word") << QStringLiteral("Load") << QList<int>{76};
        QTest::newRow("lower-case letter") << QStringLiteral("l") << QList<int>{108};
        QTest::newRow("F1") << QStringLiteral("{F1}") << QList<int>{112};
        QTest::newRow("F5") << QStringLiteral("{F5}") << QList<int>{116};
        QTest::newRow("F12") << QStringLiteral("{F12}") << QList<int>{123};
        QTest::newRow("Enter gives no code") << QStringLiteral("{Enter}") << QList<int>{};
        QTest::newRow("two keys give two codes") << QStringLiteral("L U") << QList<int>{76, 85};
        QTest::newRow("space") << QStringLiteral("{Space}") << QList<int>{32};
        QTest::newRow("lone brace gives no code") << QStringLiteral("{") << QList<int>{};
        QTest::newRow("word without code in between") << QStringLiteral("{Enter} L {F2}") << QList<int>{76, 113};
        QTest::newRow("Latin-1 character") << QStringLiteral("\u00e9") << QList<int>{233};
        QTest::newRow("character outside the code page") << QStringLiteral("\u3042") << QList<int>{63};
        QTest::newRow("two spaces skip the empty word") << QStringLiteral("L  U") << QList<int>{76, 85};
        QTest::newRow("leading and trailing spaces") << QStringLiteral(" P ") << QList<int>{80};
        QTest::newRow("words beyond the tenth are ignored")
            << QStringLiteral("A B C D E F G H I J K L") << QList<int>{65, 66, 67, 68, 69, 70, 71, 72, 73, 74};
    }
    void convert() {
        QFETCH(QString, keyText);
        QFETCH(QList<int>, expected);
        RecordingErrorBox box;
        // Entries beyond the count keep what they held, so a cleared key keeps its old first code.
        std::array<qint16, 10> codes;
        codes.fill(-7);
        const qint16 count = modGeneral::KeyCodeConvert(keyText, codes);
        QCOMPARE(int(count), int(expected.size()));
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(int(codes[i]), i < count ? expected[i] : -7);
        }
        QVERIFY(box.prompts.isEmpty());
    }

    void oversizedFunctionKeyIsReported() {
        RecordingErrorBox box;
        // The codes of the words before the failing one are not kept either: the record keeps its old keys.
        std::array<qint16, 10> codes;
        codes.fill(-7);
        QCOMPARE(int(modGeneral::KeyCodeConvert(QStringLiteral("L {F99999}"), codes)), 0);
        QVERIFY(box.reported(QStringLiteral("modGeneral.KeyCodeConvert")));
        QCOMPARE(codes[0], qint16(-7));
    }
};

QTEST_GUILESS_MAIN(TestKeyCodeConvert)
#include "TestKeyCodeConvert.moc"
