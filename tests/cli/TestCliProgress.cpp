#include "Fixtures.h"
#include "TestHome.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString kCli = QStringLiteral(VORN_CLI_PATH);

struct Result {
    int status = -1;
    QString out; // under a terminal: everything the terminal showed
    QString err;
};

QString quoted(const QString& word) {
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

// The tool run with arguments and a shell tail ("< file", "2> file") either on plain pipes or on a
// pseudo-terminal (util-linux script), from folder.
Result run(bool terminal, const QStringList& arguments, const QString& tail, const QString& folder) {
    QString command = quoted(kCli);
    for (const QString& argument : arguments) {
        command += QLatin1Char(' ') + quoted(argument);
    }
    command += QLatin1Char(' ') + tail;
    QProcess process;
    process.setWorkingDirectory(folder);
    // The print command's windowless GUI would otherwise remark on the missing runtime folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    process.setProcessEnvironment(environment);
    if (terminal) {
        process.start(QStringLiteral("script"), {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
    } else {
        process.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    }
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// vornreader-cli's progress line: on standard error while it is a terminal, never with --quiet or
// when standard error goes elsewhere, and never in the way of the output.
class TestCliProgress : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;

private Q_SLOTS:
    void init() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty(), "script (bsdutils) missing");
        m_home = std::make_unique<TestHome>();
        writeFile(m_home->file(QStringLiteral("VornReader.ini")), "[VornReader]\r\nLanguage=English\r\n");
        writeFile(m_home->file(QStringLiteral("s.Plus")), Fixtures::generatorText(4, 3).toUtf8());
        QCOMPARE(run(false, {"new", "lib.mdb"}, {}, m_home->path()).status, 0);
        QCOMPARE(run(false, {"new", "target.mdb"}, {}, m_home->path()).status, 0);
    }
    void cleanup() { m_home.reset(); }

    void progressLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("shown");  // the start of the progress line; empty: none
        QTest::addColumn<QString>("output"); // on standard output
        const QStringList read{"read", "lib.mdb", "s.Plus"};
        QTest::newRow("read on a terminal") << read << "" << true << "\rReading \"s.Plus\": "
                                            << "4 sequences were read from \"s.Plus\".";
        QTest::newRow("read on a terminal, quiet")
            << QStringList{"--quiet", "read", "lib.mdb", "s.Plus"} << "" << true << ""
            << "4 sequences were read from \"s.Plus\".";
        QTest::newRow("read, standard error to a file") << read << "2> err.txt" << true << ""
                                                        << "4 sequences were read from \"s.Plus\".";
        QTest::newRow("read without a terminal") << read << "" << false << ""
                                                 << "4 sequences were read from \"s.Plus\".";
        QTest::newRow("paste on a terminal")
            << QStringList{"paste", "lib.mdb"} << "< s.Plus" << true << "\rReading the clipboard: "
            << "4 sequences were read from the clipboard.";
        QTest::newRow("xlsx on a terminal") << QStringList{"xlsx", "lib.mdb", "1", "2", "out.xlsx"} << "" << true
                                            << "\rWriting sequence 1 of 2 to the spreadsheet..."
                                            << "";
        QTest::newRow("print on a terminal") << QStringList{"print", "lib.mdb", "1", "2", "--pdf", "out.pdf"} << ""
                                             << true << "\rLaying out sequence 1 of 2 for printing..."
                                             << "";
        QTest::newRow("export on a terminal")
            << QStringList{"export", "lib.mdb", "target.mdb", "--yes"} << "" << true << "\rMoving 4 sequences to "
            << "4";
        QTest::newRow("export on a terminal, quiet")
            << QStringList{"export", "lib.mdb", "target.mdb", "--yes", "--quiet"} << "" << true << ""
            << "4";
    }
    void progressLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, tail);
        QFETCH(bool, terminal);
        QFETCH(QString, shown);
        QFETCH(QString, output);
        if (arguments.front() != QLatin1String("read") && arguments.front() != QLatin1String("--quiet") &&
            arguments.front() != QLatin1String("paste")) {
            QCOMPARE(run(false, {"read", "lib.mdb", "s.Plus"}, {}, m_home->path()).status, 0);
        }
        const Result result = run(terminal, arguments, tail, m_home->path());
        QCOMPARE(result.status, 0);
        // A terminal ends its lines with CR LF; the progress clears what is left of its line.
        const QString screen =
            QString(result.out).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).remove(QStringLiteral("\x1b[K"));
        QVERIFY2(screen.contains(QStringLiteral("\r")) == !shown.isEmpty(), qPrintable(screen));
        if (!shown.isEmpty()) {
            QVERIFY2(screen.contains(shown), qPrintable(screen));
            // The line ends before anything else is written, and the last state stays on it.
            QVERIFY2(screen.endsWith(QStringLiteral("\n") + output + (output.isEmpty() ? "" : "\n")) ||
                         (output.isEmpty() && screen.endsWith(QStringLiteral("%\n"))),
                     qPrintable(screen));
            QVERIFY2(screen.contains(QStringLiteral("100%\n")), qPrintable(screen));
        } else {
            QCOMPARE(screen, output.isEmpty() ? QString() : output + QLatin1Char('\n'));
        }
        QCOMPARE(result.err, QString());
        if (tail.startsWith(QLatin1String("2>"))) {
            QFile err(m_home->file(QStringLiteral("err.txt")));
            QVERIFY(err.open(QIODevice::ReadOnly));
            QCOMPARE(err.readAll(), QByteArray());
        }
    }

    // An error reported while the progress shows stands on a line of its own, once, and the exit
    // status says so as before.
    void errorLinesStandAlone() {
        QString text = Fixtures::generatorText(3, 2);
        text.replace(QStringLiteral("History: 2026/01/2,Club 1"), QStringLiteral("History: yesterday,Club 1"));
        writeFile(m_home->file(QStringLiteral("bad.Plus")), text.toUtf8());
        const Result result = run(true, {"read", "lib.mdb", "bad.Plus"}, {}, m_home->path());
        QCOMPARE(result.status, 1);
        const QString screen =
            QString(result.out).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).remove(QStringLiteral("\x1b[K"));
        const QString error = QStringLiteral("vornreader-cli: Type mismatch: \" yesterday\" is not a history date "
                                             "(modSeqText.ReadSequenceText, error 13)\n");
        QVERIFY2(screen.count(error) == 1, qPrintable(screen));
        const qsizetype at = screen.indexOf(error);
        QVERIFY2(at > 0 && (screen.at(at - 1) == QLatin1Char('\r') || screen.at(at - 1) == QLatin1Char('\n')),
                 qPrintable(screen));
        QVERIFY2(screen.contains(QStringLiteral("\rReading \"bad.Plus\": ")), qPrintable(screen));
        QVERIFY2(screen.endsWith(QStringLiteral("100%\n3 sequences were read from \"bad.Plus\".\n")),
                 qPrintable(screen));
    }

    // The help names the option.
    void helpNamesQuiet() {
        const Result result = run(false, {"--help"}, {}, m_home->path());
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.contains(QLatin1String("[--quiet]")));
        QVERIFY(result.out.contains(QLatin1String("  --quiet ")));
    }
};

QTEST_GUILESS_MAIN(TestCliProgress)
#include "TestCliProgress.moc"
