#include "CliRunner.h"
#include "Fixtures.h"
#include "PdfText.h"
#include "TestHome.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

// vornreader-cli's progress line (on standard error while it is a terminal, never with --quiet or
// when standard error goes elsewhere, never in the way of the output), and the files print and
// xlsx write.
class TestCliProgress : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;

    // The tool in the home, on plain pipes or on a terminal; the print command's windowless GUI
    // would otherwise remark on the missing runtime folder.
    Cli::Result run(bool terminal, const QStringList& arguments, const QString& tail = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home->path());
        return Cli::shell(Cli::command(arguments, tail), terminal, m_home->path(), environment);
    }
    // What a terminal showed: its CR LF line ends as LF, the progress' line clearing dropped.
    static QString screen(const Cli::Result& result) {
        return QString(result.out)
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .remove(QStringLiteral("\x1b[K"));
    }

private Q_SLOTS:
    void init() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty(), "script (bsdutils) missing");
        m_home = std::make_unique<TestHome>();
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("VornReader.ini")),
                                    "[VornReader]\r\nLanguage=English\r\n"));
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("s.Plus")), Fixtures::generatorText(4, 3).toUtf8()));
        QCOMPARE(run(false, {"new", "lib.mdb"}).status, 0);
        QCOMPARE(run(false, {"new", "target.mdb"}).status, 0);
    }
    void cleanup() { m_home.reset(); }

    void progressLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("shown");  // the start of the progress line; empty: none
        QTest::addColumn<QString>("output"); // on standard output
        const auto row = [](const char* name, const QStringList& arguments, const char* tail, bool terminal,
                            const char* shown, const char* output) {
            QTest::newRow(name) << arguments << QString(tail) << terminal << QString(shown) << QString(output);
        };
        const QStringList read{"read", "lib.mdb", "s.Plus"};
        const char* fourRead = "4 sequences were read from \"s.Plus\".";
        row("read on a terminal", read, "", true, "\rReading \"s.Plus\": ", fourRead);
        row("read on a terminal, quiet", QStringList{"--quiet"} + read, "", true, "", fourRead);
        row("read, standard error to a file", read, "2> err.txt", true, "", fourRead);
        row("read without a terminal", read, "", false, "", fourRead);
        row("paste on a terminal", {"paste", "lib.mdb"}, "< s.Plus", true,
            "\rReading the clipboard: ", "4 sequences were read from the clipboard.");
        row("xlsx on a terminal", {"xlsx", "lib.mdb", "1", "2", "out.xlsx"}, "", true,
            "\rWriting sequence 1 of 2 to the spreadsheet...", "");
        row("export on a terminal", {"export", "lib.mdb", "target.mdb", "--yes"}, "", true, "\rMoving 4 sequences to ",
            "4");
    }
    void progressLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, tail);
        QFETCH(bool, terminal);
        QFETCH(QString, shown);
        QFETCH(QString, output);
        if (!arguments.contains(QLatin1String("s.Plus")) && arguments.front() != QLatin1String("paste")) {
            QCOMPARE(run(false, {"read", "lib.mdb", "s.Plus"}).status, 0);
        }
        const Cli::Result result = run(terminal, arguments, tail);
        QCOMPARE(result.status, 0);
        const QString shows = screen(result);
        QVERIFY2(shows.contains(QStringLiteral("\r")) == !shown.isEmpty(), qPrintable(shows));
        if (!shown.isEmpty()) {
            QVERIFY2(shows.contains(shown), qPrintable(shows));
            // The line ends before anything else is written, and the last state stays on it.
            QVERIFY2(shows.contains(QStringLiteral("100%\n")) &&
                         (shows.endsWith(QStringLiteral("\n") + output + (output.isEmpty() ? "" : "\n")) ||
                          (output.isEmpty() && shows.endsWith(QStringLiteral("%\n")))),
                     qPrintable(shows));
        } else {
            QCOMPARE(shows, output.isEmpty() ? QString() : output + QLatin1Char('\n'));
        }
        QCOMPARE(result.err, QString());
        QCOMPARE(Fixtures::readFile(m_home->file(QStringLiteral("err.txt"))), QByteArray());
    }

    // An error reported while the progress shows stands on a line of its own, once, and the exit
    // status says so as before.
    void errorLinesStandAlone() {
        QString text = Fixtures::generatorText(3, 2);
        text.replace(QStringLiteral("History: 2026/01/2,Club 1"), QStringLiteral("History: yesterday,Club 1"));
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("bad.Plus")), text.toUtf8()));
        const Cli::Result result = run(true, {"read", "lib.mdb", "bad.Plus"});
        QCOMPARE(result.status, 1);
        const QString shows = screen(result);
        const QString error = QStringLiteral("vornreader-cli: Type mismatch: \" yesterday\" is not a history date "
                                             "(modSeqText.ReadSequenceText, error 13)\n");
        QVERIFY2(shows.count(error) == 1, qPrintable(shows));
        const qsizetype at = shows.indexOf(error);
        QVERIFY2(at > 0 && (shows.at(at - 1) == QLatin1Char('\r') || shows.at(at - 1) == QLatin1Char('\n')),
                 qPrintable(shows));
        QVERIFY2(shows.endsWith(QStringLiteral("100%\n3 sequences were read from \"bad.Plus\".\n")), qPrintable(shows));
    }

    // print lays the sequences out in the order given, on the paper asked for, under the library's
    // name.
    void printInTheGivenOrder() {
        QCOMPARE(
            run(false, {"read", "lib.mdb", Fixtures::dataFile("linux.C1"), Fixtures::dataFile("linux.Plus")}).status,
            0);
        QCOMPARE(
            run(false, {"print", "lib.mdb", "3", "1", "--paper", "letter", "--landscape", "--pdf", "out.pdf"}).status,
            0);
        const QString pdf = m_home->file(QStringLiteral("out.pdf"));
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Page size")).section(QLatin1Char(' '), 0, 2),
                 QStringLiteral("792 x 612"));
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("lib"));
        const QString text = pdfText(pdf);
        const qsizetype third = text.indexOf(QStringLiteral("Create : 2026/12/06 08:54:58"));
        QVERIFY2(third >= 0 && third < text.indexOf(QStringLiteral("Create : 2026/12/06 08:52:34")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestCliProgress)
#include "TestCliProgress.moc"
