#include "LineSource.h"
#include "TestHome.h"

#include <QFile>
#include <QStringEncoder>
#include <QtTest>

// A file is read piece by piece; whatever the piece size, the lines are those of the whole text:
// a line, a CR LF or a character may be cut between two pieces.
class TestLineSource : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesAcrossPieces_data() {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        const QString mixed = QStringLiteral("a\r\nbé\rc\n\r\nd日本のテスト\r\n\r");
        const QStringList mixedLines{"a", "bé", "c", "", "d日本のテスト", ""};
        QTest::newRow("UTF-8") << QByteArray("UTF-8") << mixed << mixedLines;
        QTest::newRow("UTF-16") << QByteArray("UTF-16LE") << QChar(0xFEFF) + mixed << mixedLines;
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << QString(mixed).replace(QChar(0xE9), QChar(0x30A2))
                                   << QStringList(mixedLines).replaceInStrings(QChar(0xE9), QChar(0x30A2));
        QTest::newRow("no line end at the end")
            << QByteArray("UTF-8") << QStringLiteral("x\r\ny") << QStringList{"x", "y"};
        QTest::newRow("empty") << QByteArray("UTF-8") << QString() << QStringList();
    }
    void linesAcrossPieces() {
        QFETCH(QByteArray, encoding);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        TestHome home;
        const QString path = home.file(QStringLiteral("s.Plus"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QStringEncoder encoder(encoding.constData());
        const QByteArray bytes = encoder.encode(text);
        file.write(bytes);
        file.close();
        for (const qint64 piece : {1, 2, 3, 5, 4096}) {
            LineSource source(QString(), LineSource::Kind::File);
            QString error;
            QCOMPARE(LineSource::fromFile(path, &source, &error, piece), LineSource::Opened::Ok);
            QStringList read;
            QStringView line;
            qint64 position = 0;
            while (source.next(&line)) {
                read.append(line.toString());
                QVERIFY(source.position() >= position && source.position() <= bytes.size());
                position = source.position();
            }
            QCOMPARE(read, lines);
            QVERIFY(!source.failed());
        }
    }
};

QTEST_GUILESS_MAIN(TestLineSource)

#include "TestLineSource.moc"
