#include "Fixtures.h"
#include "IniFile.h"
#include "TestHome.h"

#include <QtTest>

class TestIniFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup() { m_home.reset(); }

    void read_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "<none>" for a missing entry
        const auto row = [](const char* name, const char* section, const char* key, const char* expected) {
            QTest::newRow(name) << QString(section) << QString(key) << QString(expected);
        };
        row("letter case", "mAIN", "pATH", "/a b/c");
        row("enclosing quotes dropped", "Main", "Quoted", " x ");
        row("commented key", "Main", "Old", "<none>");
        row("first of two sections", "Twice", "K", "1");
        row("key of another section", "Other", "Path", "<none>");
        row("missing section", "Nope", "Path", "<none>");
    }
    void read() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString path = m_home->file(QStringLiteral("r.ini"));
        QVERIFY(Fixtures::writeFile(path,
                                    "; Old=commented\r\n[Main]\r\n  Path = /a b/c  \r\n; Old=gone\r\n"
                                    "Quoted=\" x \"\r\n\r\n[Other]\r\nK=0\r\n[Twice]\r\nK=1\r\n[Twice]\r\nK=2\r\n"));
        const std::optional<QString> value = IniFile::read(path, section, key);
        QCOMPARE(value.value_or(QStringLiteral("<none>")), expected);
    }

    // A write changes one line and leaves every other byte of the file as it was.
    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        const QByteArray crlf = "; comment\r\n\r\n[Main]\r\nPath=/old\r\n; Path=/not this\r\nSize = 3\r\n\r\n"
                                "[Other]\r\nPath=/keep\r\n";
        QTest::newRow("existing key, CR LF") << crlf << QStringLiteral("main") << QStringLiteral("SIZE")
                                             << QByteArray(crlf).replace("Size = 3", "Size=new");
        QTest::newRow("new key in a section") << crlf << QStringLiteral("Main") << QStringLiteral("Added")
                                              << QByteArray(crlf).replace("Size = 3\r\n", "Size = 3\r\nAdded=new\r\n");
        QTest::newRow("new section") << crlf << QStringLiteral("New") << QStringLiteral("K")
                                     << crlf + "\r\n[New]\r\nK=new\r\n";
        QTest::newRow("key in the last section") << crlf << QStringLiteral("OTHER") << QStringLiteral("path")
                                                 << QByteArray(crlf).replace("Path=/keep", "Path=new");
        QTest::newRow("LF, no final line end") << QByteArray("[A]\n  x=1\n;c") << QStringLiteral("A")
                                               << QStringLiteral("x") << QByteArray("[A]\nx=new\n;c");
        QTest::newRow("new section, no final line end")
            << QByteArray("[A]\nx=1") << QStringLiteral("B") << QStringLiteral("y")
            << QByteArray("[A]\nx=1\n\n[B]\ny=new\n");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("S") << QStringLiteral("k")
                                    << QByteArray("[S]\nk=new\n");
        QTest::newRow("UTF-8 text and BOM kept")
            << QByteArray("\xEF\xBB\xBF[S]\r\nname=caf\xC3\xA9\r\nk=0\r\n") << QStringLiteral("S")
            << QStringLiteral("k") << QByteArray("\xEF\xBB\xBF[S]\r\nname=caf\xC3\xA9\r\nk=new\r\n");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        const QString path = m_home->file(QStringLiteral("w.ini"));
        QVERIFY(Fixtures::writeFile(path, before));
        QVERIFY(IniFile::write(path, section, key, QStringLiteral("new")));
        QCOMPARE(Fixtures::readFile(path), after);
        QCOMPARE(IniFile::read(path, section, key), std::optional<QString>(QStringLiteral("new")));
    }

    // Bytes that do not decode as the byte order mark says are not rewritten in their decoded form.
    void undecodableFileIsLeftAlone() {
        const QString path = m_home->file(QStringLiteral("u.ini"));
        const QByteArray before("\0\0\xFE\xFF[S]\nk=0\n", 12);
        QVERIFY(Fixtures::writeFile(path, before));
        QVERIFY(!IniFile::write(path, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(Fixtures::readFile(path), before);
    }

private:
    std::unique_ptr<TestHome> m_home;
};

QTEST_GUILESS_MAIN(TestIniFile)

#include "TestIniFile.moc"
