#include "TextDecoding.h"

#include <QtTest>

class TestTextDecoding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D") << QStringLiteral("café “q”");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFSd\r\n") << QStringLiteral("Sd\r\n");
        QTest::newRow("Windows-1252 quotes")
            << QByteArray("\x93quoted\x94 \x80 \x85") << QStringLiteral("“quoted” € …");
        // 0x81 is undefined in Windows-1252, so these bytes can only be Shift_JIS.
        QTest::newRow("Shift_JIS") << QByteArray("\x83\x52\x81\x5B\x83\x8B\x81\x40Plus")
                                   << QStringLiteral("コール　Plus");
        QTest::newRow("neither") << QByteArray("a\x81") << QStringLiteral("a") + QChar(0x81);
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(TextDecoding::decode(bytes), expected);
    }
};

QTEST_GUILESS_MAIN(TestTextDecoding)

#include "TestTextDecoding.moc"
