#include "TextDecoding.h"

#include <QBuffer>
#include <QStringEncoder>
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

    // Legacy texts as generator files carry them: a comment in a header block. Katakana alone
    // holds none of the bytes Windows-1252 lacks, so only a real detector tells it apart.
    void legacyEncodings_data() {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("comment");
        QTest::newRow("Shift_JIS katakana") << QByteArray("Shift_JIS") << QStringLiteral("テスト");
        // Kanji alone in Shift_JIS are bytes Windows-1252 also holds; only the runs of symbols they
        // make there tell them from a European text.
        QTest::newRow("Shift_JIS 人") << QByteArray("Shift_JIS") << QStringLiteral("人");
        QTest::newRow("Shift_JIS kanji and kana") << QByteArray("Shift_JIS") << QStringLiteral("東京の中級クラス");
        QTest::newRow("EUC-JP") << QByteArray("EUC-JP") << QStringLiteral("シングル テスト");
        QTest::newRow("Windows-1252 French") << QByteArray("windows-1252") << QStringLiteral("Café naïve, élève");
        QTest::newRow("Windows-1252 symbols") << QByteArray("windows-1252") << QStringLiteral("Wait…” – «Œuvre» élan");
    }
    // A file is decided over all its bytes and decoded piece by piece: a character cut between two
    // pieces comes out whole. Decoded at once, the comment alone and a whole header come out as well.
    void legacyEncodings() {
        QFETCH(QByteArray, encoding);
        QFETCH(QString, comment);
        const QString text = QStringLiteral("Sun Dec  6 08:56:24 2026     Sd39.56:db39.56     Plus\r\n       ") +
                             comment + QStringLiteral("\r\n\r\n\r\nHEADS square thru 4\r\n\r\n");
        QStringEncoder encoder(encoding.constData());
        QVERIFY(encoder.isValid());
        const QByteArray bytes = encoder.encode(text);
        QCOMPARE(TextDecoding::decode(encoder.encode(comment)), comment);
        QCOMPARE(TextDecoding::decode(bytes), text);
        QBuffer buffer;
        buffer.setData(bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const std::optional<TextDecoding::Encoding> found = TextDecoding::detect(buffer);
        QVERIFY(found == (encoding == "Shift_JIS" ? TextDecoding::Encoding::ShiftJis
                          : encoding == "EUC-JP"  ? TextDecoding::Encoding::EucJp
                                                  : TextDecoding::Encoding::Windows1252));
        for (qsizetype piece = 1; piece <= 3; ++piece) {
            TextDecoding::Decoder decoder(*found);
            QString decoded;
            for (qsizetype at = 0; at < bytes.size(); at += piece) {
                decoder.append(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)), decoded);
            }
            QCOMPARE(decoded, text);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextDecoding)

#include "TestTextDecoding.moc"
