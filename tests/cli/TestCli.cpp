#include "Fixtures.h"
#include "TestHome.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result cli(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(QStringLiteral(VORN_CLI_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup() { m_home.reset(); }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList();
        QTest::newRow("unknown command") << QStringList{"frobnicate", "x.mdb"};
        QTest::newRow("list without library") << QStringList{"list"};
        QTest::newRow("read without file") << QStringList{"read", "x.mdb"};
        QTest::newRow("negative position") << QStringList{"paste", "x.mdb", "--at", "-1"};
        QTest::newRow("bad sort") << QStringList{"list", "x.mdb", "--sort", "title"};
        QTest::newRow("option without value") << QStringList{"list", "x.mdb", "--level"};
        QTest::newRow("copy without sequence") << QStringList{"copy", "x.mdb"};
        QTest::newRow("copy of a word") << QStringList{"copy", "x.mdb", "first"};
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        const Result result = cli(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY(result.err.contains(QLatin1String("Usage:")));
    }

    void notALibrary_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing.mdb" << QByteArray() << "does not exist";
        QTest::newRow("wrong extension") << "notes.txt" << QByteArray("text") << "must end in .mdb";
        QTest::newRow("not a database") << "junk.mdb" << QByteArray(4096, 'x') << "is not a VornReader library";
        QTest::newRow("empty file") << "empty.mdb" << QByteArray("") << "is not a VornReader library";
    }
    void notALibrary() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_home->file(name);
        if (!name.startsWith(QLatin1String("missing"))) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const Result result = cli({QStringLiteral("list"), path});
        QCOMPARE(result.status, 1);
        QFETCH(QString, message);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
    }

    void readListAndPaste() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 1);

        const QString plus = Fixtures::dataFile(QStringLiteral("linux.Plus"));
        const QString c1 = Fixtures::dataFile(QStringLiteral("linux.C1"));
        Result result = cli({QStringLiteral("read"), library, plus, c1});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, plus + QStringLiteral("\t19\n") + c1 + QStringLiteral("\t1\n"));
        QCOMPARE(cli({QStringLiteral("read"), library, c1}).out, c1 + QStringLiteral("\t0\n"));

        result = cli({QStringLiteral("list"), library, QStringLiteral("--level"), QStringLiteral("C1")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("20\t2\tC1\t2026/12/06\t08:52:34\t0\ta title comment\n"));
        QCOMPARE(cli({QStringLiteral("list"), library}).out.count(QLatin1Char('\n')), 20);

        // Pasted at position 2: the C1 sequence moves to 3, the pasted one takes 2.
        result = cli({QStringLiteral("paste"), library, QStringLiteral("--at"), QStringLiteral("2")},
                     Fixtures::generatorText(1, 2, QStringLiteral("A2")).toUtf8());
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("1\n"));
        const QStringList lines =
            cli({QStringLiteral("list"), library, QStringLiteral("--sort"), QStringLiteral("order")})
                .out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 21);
        QVERIFY(lines[19].startsWith(QLatin1String("21\t2\tA2\t")));
        QVERIFY(lines[20].startsWith(QLatin1String("20\t3\tC1\t")));
    }

    // What copy writes, paste takes back: into a fresh library it adds the sequences again.
    void copyPastesBack() {
        const QString first = m_home->file(QStringLiteral("first.mdb"));
        const QString second = m_home->file(QStringLiteral("second.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), first}).status, 0);
        QCOMPARE(cli({QStringLiteral("new"), second}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), first, Fixtures::dataFile(QStringLiteral("windows.Plus"))}).status, 0);
        const Result copied = cli({QStringLiteral("copy"), first, QStringLiteral("2"), QStringLiteral("5")});
        QCOMPARE(copied.status, 0);
        QCOMPARE(copied.out.count(QStringLiteral("\r\n\f\r\n")), 1);
        QCOMPARE(cli({QStringLiteral("paste"), second}, copied.out.toUtf8()).out, QStringLiteral("2\n"));
        QCOMPARE(cli({QStringLiteral("copy"), second, QStringLiteral("1"), QStringLiteral("2")}).out, copied.out);
    }

    void unreadableFileFails() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        const QString missing = m_home->file(QStringLiteral("missing.Plus"));
        const Result result = cli({QStringLiteral("read"), library, missing});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, missing + QStringLiteral("\t0\n"));
        QVERIFY(result.err.contains(QLatin1String("modSeqText.ReadSequenceText")));
    }

    void help() {
        const Result result = cli({QStringLiteral("--help")});
        QCOMPARE(result.status, 0);
        for (const char* command : {"new LIBRARY", "read LIBRARY", "paste LIBRARY", "copy LIBRARY", "list LIBRARY"}) {
            QVERIFY(result.out.contains(QLatin1String(command)));
        }
    }

private:
    std::unique_ptr<TestHome> m_home;
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
