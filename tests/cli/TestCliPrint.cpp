#include "Fixtures.h"
#include "TestHome.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Result cli(const QStringList& arguments) {
    return run(QStringLiteral(VORN_CLI_PATH), arguments);
}

} // namespace

// vornreader-cli print and xlsx on one library read from generator files.
class TestCliPrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    QString m_library;

private Q_SLOTS:
    void initTestCase() {
        m_home = std::make_unique<TestHome>();
        m_library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), m_library}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), m_library, Fixtures::dataFile(QStringLiteral("linux.C1")),
                      Fixtures::dataFile(QStringLiteral("linux.Plus"))})
                     .status,
                 0);
    }
    void cleanupTestCase() { m_home.reset(); }

    void printInTheGivenOrder() {
        const QString pdf = m_home->file(QStringLiteral("out.pdf"));
        const Result result = cli({QStringLiteral("print"), m_library, QStringLiteral("3"), QStringLiteral("1"),
                                   QStringLiteral("--paper"), QStringLiteral("letter"), QStringLiteral("--landscape"),
                                   QStringLiteral("--pdf"), pdf});
        QCOMPARE(result.status, 0);
        const QString info = run(QStringLiteral("pdfinfo"), {pdf}).out;
        QVERIFY(info.contains(QStringLiteral("792 x 612 pts")));
        // The document is named after the library.
        QVERIFY2(
            info.contains(QRegularExpression(QStringLiteral("^Title:\\s+lib$"), QRegularExpression::MultilineOption)),
            qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
        const QString third = QStringLiteral("Create : 2026/12/06 08:54:58");
        const QString first = QStringLiteral("Create : 2026/12/06 08:52:34");
        QVERIFY2(text.contains(third) && text.contains(first), qPrintable(text));
        QVERIFY(text.indexOf(third) < text.indexOf(first));
    }

    void missingSequencesAreNamed_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::newRow("print") << "print"
                               << "out.pdf";
        QTest::newRow("xlsx") << "xlsx"
                              << "out.xlsx";
    }
    void missingSequencesAreNamed() {
        QFETCH(QString, command);
        QFETCH(QString, file);
        const QString path = m_home->file(file);
        QStringList arguments{command, m_library, QStringLiteral("2"), QStringLiteral("777")};
        arguments += command == QLatin1String("print") ? QStringList{QStringLiteral("--pdf"), path} : QStringList{path};
        const Result result = cli(arguments);
        QCOMPARE(result.status, 1);
        const QStringList ours =
            result.err.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^vornreader-cli:")));
        QCOMPARE(ours, QStringList{QStringLiteral("vornreader-cli: sequence 777 does not exist")});
        QVERIFY(QFileInfo(path).size() > 0);
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("print without pdf") << QStringList{"print", "x.mdb", "1"};
        QTest::newRow("print without sequence") << QStringList{"print", "x.mdb", "--pdf", "o.pdf"};
        QTest::newRow("unknown paper") << QStringList{"print", "x.mdb", "1", "--pdf", "o.pdf", "--paper", "napkin"};
        QTest::newRow("negative margins") << QStringList{"print", "x.mdb", "1", "--pdf", "o.pdf", "--margins", "-1"};
        QTest::newRow("xlsx without file") << QStringList{"xlsx", "x.mdb", "1", "2"};
        QTest::newRow("xlsx of a word") << QStringList{"xlsx", "x.mdb", "first", "o.xlsx"};
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        const Result result = cli(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY(result.err.contains(QLatin1String("--help")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("o.pdf")) && !QFileInfo::exists(QStringLiteral("o.xlsx")));
    }
};

QTEST_MAIN(TestCliPrint)
#include "TestCliPrint.moc"
