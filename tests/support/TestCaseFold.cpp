#include "CaseFold.h"

#include <QtTest>

class TestCaseFold : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fold_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ASCII") << QStringLiteral("Swing THRU") << QStringLiteral("swing thru");
        QTest::newRow("sharp s") << QStringLiteral("Straße") << QStringLiteral("strasse");
        QTest::newRow("ligature") << QStringLiteral("ﬃ") << QStringLiteral("ffi");
        QTest::newRow("outside the BMP") << QStringLiteral("𐐀") << QStringLiteral("𐐨");
        QTest::newRow("Japanese unchanged") << QStringLiteral("コール") << QStringLiteral("コール");
    }
    void fold() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(CaseFold::fold(text), expected);
    }

    void find_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::newRow("exact") << QStringLiteral("Ab ab") << QStringLiteral("ab") << 0 << 0 << 3 << 2;
        QTest::newRow("folded") << QStringLiteral("Ab ab") << QStringLiteral("ab") << 0 << 1 << 0 << 2;
        QTest::newRow("from skips") << QStringLiteral("Ab ab") << QStringLiteral("AB") << 1 << 1 << 3 << 2;
        QTest::newRow("ss covers sharp s") << QStringLiteral("straße") << QStringLiteral("SS") << 0 << 1 << 4 << 1;
        QTest::newRow("half of sharp s") << QStringLiteral("ß") << QStringLiteral("s") << 0 << 1 << -1 << 0;
        QTest::newRow("s after sharp s") << QStringLiteral("ßs") << QStringLiteral("s") << 0 << 1 << 1 << 1;
        QTest::newRow("ss across sharp s") << QStringLiteral("sß") << QStringLiteral("ss") << 0 << 1 << 1 << 1;
        QTest::newRow("ligature word") << QStringLiteral("xﬁle") << QStringLiteral("FILE") << 0 << 1 << 1 << 3;
        QTest::newRow("surrogate pair") << QStringLiteral("a𐐀b") << QStringLiteral("𐐨B") << 0 << 1 << 1 << 3;
        QTest::newRow("empty needle") << QStringLiteral("abc") << QString() << 2 << 1 << 2 << 0;
    }
    void find() {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(int, mode);
        QFETCH(int, position);
        QFETCH(int, length);
        const CaseFold::Match match = CaseFold::find(text, needle, from, mode);
        QCOMPARE(match.position, qsizetype(position));
        QCOMPARE(match.length, qsizetype(length));
    }
};

QTEST_GUILESS_MAIN(TestCaseFold)
#include "TestCaseFold.moc"
