#include "CliRunner.h"
#include "Fixtures.h"
#include "TestHome.h"
#include "VornVersion.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QtTest>
#include <unistd.h>

using Cli::tool;

// vornreader-cli as a user runs it: its arguments, exit codes and what it writes. The rules of the
// library behind each command have tests of their own in the store's and the library's tests.
class TestCli : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;

    QString file(const QString& name) const { return m_home->file(name); }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        QVERIFY(Fixtures::writeFile(file("VornReader.ini"), "[VornReader]\r\nLanguage=English\r\n"));
    }
    void cleanup() { m_home.reset(); }

    // What read, list, paste and copy write; what copy writes, paste takes back.
    void commandsAndTheirOutput() {
        const QString library = file("lib.mdb");
        QCOMPARE(tool({"new", library}).status, 0);
        QCOMPARE(tool({"new", library}).status, 1);
        const QString plus = Fixtures::dataFile("linux.Plus");
        const QString c1 = Fixtures::dataFile("linux.C1");
        QCOMPARE(tool({"read", library, plus, c1}).out,
                 QStringLiteral("19 sequences were read from \"%1\". 1 sequence was already in the library.\n"
                                "1 sequence was read from \"%2\".\n")
                     .arg(plus, c1));
        QCOMPARE(tool({"list", library, "--level", "C1"}).out,
                 QStringLiteral("20\t2\tC1\t2026/12/06\t08:52:34\t0\ta title comment\n"));
        // Pasted at position 2: the C1 sequence moves to 3, the pasted one takes 2.
        Cli::Result result =
            tool({"paste", library, "--at", "2"}, Fixtures::generatorText(1, 2, QStringLiteral("A2")).toUtf8());
        QCOMPARE(result.out, QStringLiteral("1 sequence was read from the clipboard.\n"));
        const QStringList lines =
            tool({"list", library, "--sort", "order"}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 21);
        QVERIFY(lines[19].startsWith(QLatin1String("21\t2\tA2\t")) && lines[20].startsWith(QLatin1String("20\t3\tC1")));

        // copy writes every byte of the stored text, in the order asked.
        {
            Database db(library);
            db.exec(QStringLiteral("UPDATE tblCall SET Call = 'before' || char(0) || 'after' WHERE Sequence = 5 AND "
                                   "Number = 1"));
        }
        const Cli::Result copied = tool({"copy", library, "20", "5"});
        QCOMPARE(copied.status, 0);
        QVERIFY(copied.out.contains(QStringLiteral("before") + QChar(0) + QStringLiteral("after\r\n")));
        QVERIFY(copied.out.indexOf(QLatin1String("a title comment")) < copied.out.indexOf(QLatin1String("before")));
        QCOMPARE(copied.out.count(QStringLiteral("\r\n\f\r\n")), 1);
        const QString second = file("second.mdb");
        QCOMPARE(tool({"new", second}).status, 0);
        QCOMPARE(tool({"paste", second}, copied.out.toUtf8()).out,
                 QStringLiteral("2 sequences were read from the clipboard.\n"));
        QCOMPARE(tool({"copy", second, "1", "2"}).out, copied.out);

        QVERIFY(tool({"--help"}).out.contains(QLatin1String("  --quiet ")));
        QCOMPARE(tool({"--version"}).out, QStringLiteral("vornreader-cli %1\n").arg(QLatin1String(kVornVersion)));
    }

    // What the tool says and its exit status for a command line, a file or an output: one row
    // each. The library is shelf/lib.mdb with linux.Plus and linux.C1 read into it (20 sequences)
    // and three A2 sequences pasted (21-23, heard by Club 0, 1 and 2 on 2026/01/01, 02 and 03);
    // target.mdb in the home is an empty library; the tool runs in the home. A usage error (status
    // 2) points to --help after its line. What each refusal leaves in the files is the library's
    // and the store's to test.
    void outcomes_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments"); // @lib: the library; @home/NAME, @data/NAME: files
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says"); // on standard error, a line each; empty: nothing (usage: any)
        QTest::addColumn<QString>("out");  // on standard output; null: not looked at
        const auto row = [](const char* name, const char* setup, const QStringList& arguments, int status,
                            const char* says, const QString& out = QString()) {
            QTest::newRow(name) << setup << arguments << status << says << out;
        };
        row("not called for a party", "",
            {"list", "@lib", "--level", "A2", "--not-called-for", "Club 1", "--since", "2026/01/01"}, 0, "",
            "21\t3\tA2\t2026/12/06\t00:00:00\t0\tgenerated sequence 0\n"
            "23\t3\tA2\t2026/12/06\t00:00:02\t0\tgenerated sequence 2\n");
        row("not called for any party", "",
            {"list", "@lib", "--level", "A2", "--not-called-for", "*", "--since", "2026/1/2"}, 0, "",
            "21\t3\tA2\t2026/12/06\t00:00:00\t0\tgenerated sequence 0\n");
        row("history of every party", "", {"history", "@lib"}, 0, "",
            "2026/01/01\tClub 0\t21\tA2\tgenerated sequence 0\n2026/01/02\tClub 1\t22\tA2\tgenerated sequence 1\n"
            "2026/01/03\tClub 2\t23\tA2\tgenerated sequence 2\n");
        row("history of a party on some days", "",
            {"history", "@lib", "--party", "Club 1", "--from", "2026/01/02", "--to", "2026/01/02"}, 0, "",
            "2026/01/02\tClub 1\t22\tA2\tgenerated sequence 1\n");
        row("not a date", "", {"list", "@lib", "--not-called-for", "*", "--since", "2026/02/30"}, 2,
            "--since \"2026/02/30\" is not a date (yyyy/mm/dd)");
        row("since alone", "", {"list", "@lib", "--since", "2026/01/01"}, 2,
            "--not-called-for and --since go together");
        row("from after to", "", {"history", "@lib", "--from", "2026/01/03", "--to", "2026/01/02"}, 2,
            "--from is after --to");
        row("unknown party", "", {"history", "@lib", "--party", "Club 9"}, 1,
            "--party: the library has no history for the party \"Club 9\"");
        row("no command", "", {}, 2, "");
        row("unknown command", "", {"frobnicate", "x.mdb"}, 2, "");
        row("read without file", "", {"read", "x.mdb"}, 2, "");
        row("negative position", "", {"paste", "x.mdb", "--at", "-1"}, 2, "");
        row("position beyond 31 bits", "", {"paste", "x.mdb", "--at", "4294967296"}, 2, "");
        row("bad sort", "", {"list", "x.mdb", "--sort", "title"}, 2, "");
        row("option without value", "", {"list", "x.mdb", "--level"}, 2, "");
        row("copy of a word", "", {"copy", "x.mdb", "first"}, 2, "");
        row("export state word", "", {"export", "x.mdb", "y.mdb", "--state", "called"}, 2, "");
        row("print without pdf", "", {"print", "x.mdb", "1"}, 2, "");
        row("unknown paper", "", {"print", "x.mdb", "1", "--pdf", "o.pdf", "--paper", "napkin"}, 2, "");
        row("negative margins", "", {"print", "x.mdb", "1", "--pdf", "o.pdf", "--margins", "-1"}, 2, "");
        row("missing library", "", {"list", "@home/missing.mdb"}, 1, "@home/missing.mdb was not found");
        row("wrong extension", "", {"list", "@home/notes.txt"}, 1, "must end in .mdb");
        row("not a database", "", {"list", "@home/junk.mdb"}, 1, "is not a VornReader library");
        row("unreadable text", "", {"read", "@lib", "@home/missing.Plus"}, 1, "modSeqText.ReadSequenceText", "");
        row("missing sequence", "", {"copy", "@lib", "1", "99999", "2"}, 1,
            "there is no sequence 99999 in the library");
        // A sequence that is not there is named once; the others are written all the same.
        row("print of a missing sequence", "", {"print", "@lib", "2", "777", "--pdf", "@home/p.pdf"}, 1,
            "sequence 777 does not exist");
        row("xlsx of a missing sequence", "", {"xlsx", "@lib", "2", "777", "@home/p.xlsx"}, 1,
            "sequence 777 does not exist");
        row("list leaves the file", "free pages", {"list", "@lib"}, 0, "");
        row("pdf through a link to the library", "", {"print", "@lib", "1", "--pdf", "@home/out.pdf"}, 1,
            "Nothing was written to @home/out.pdf: that name leads to the VornReader library @lib");
        row("no runtime folder", "no runtime folder", {"print", "@lib", "1", "--pdf", "@home/new.pdf"}, 0, "");
        row("half-written: list", "half-written", {"list", "@lib"}, 0, "");
        row("half-written, read-only", "half-written read-only", {"list", "@lib"}, 1,
            "@lib was left half-written by a program that stopped");
        row("read-only: list", "read-only", {"list", "@lib"}, 0, "");
        row("read-only: read", "read-only", {"read", "@lib", "@data/linux.C1"}, 1,
            "@lib is read-only; this command would change it.");
        row("file-size limit", "file-size limit", {"read", "@lib", "@home/big.Plus"}, 1,
            "the file has reached its size limit", "");
        row("a failure repeated", "refusing trigger", {"read", "@lib", "@home/many.Plus"}, 1,
            "refused by a trigger\n... and 2,999 more sequences failed the same way");
        row("a file named --quiet", "", {"read", "@lib", "--", "--quiet"}, 0, "");
        row("export without --yes", "", {"export", "@lib", "@home/target.mdb", "--level", "C1"}, 1,
            "Move 1 sequence to @home/target.mdb?\ngive --yes\nnothing was moved", "");
        row("export of one day", "",
            {"export", "@lib", "@home/target.mdb", "--level", "C1", "--from", "2026/12/6", "--to", "2026-12-06",
             "--yes"},
            0, "", "1\n");
    }
    void outcomes() {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        QFETCH(QString, out);
        const QString shelf = file("shelf");
        QVERIFY(QDir().mkpath(shelf));
        const QString lib = shelf + QStringLiteral("/lib.mdb");
        QCOMPARE(tool({"new", lib}).status, 0);
        QCOMPARE(tool({"new", file("target.mdb")}).status, 0);
        QCOMPARE(tool({"read", lib, Fixtures::dataFile("linux.Plus"), Fixtures::dataFile("linux.C1")}).status, 0);
        QCOMPARE(tool({"paste", lib}, Fixtures::generatorText(3, 2, QStringLiteral("A2")).toUtf8()).status, 0);
        QVERIFY(QFile::link(lib, file("out.pdf")));
        QVERIFY(Fixtures::writeFile(file("--quiet"), Fixtures::generatorText(1, 2, QStringLiteral("A1")).toUtf8()));
        QVERIFY(Fixtures::writeFile(file("notes.txt"), "text"));
        QVERIFY(Fixtures::writeFile(file("junk.mdb"), QByteArray(4096, 'x')));
        QStringList command{Cli::path()};
        for (const QString& argument : arguments) {
            command.append(QString(argument)
                               .replace(QLatin1String("@lib"), lib)
                               .replace(QLatin1String("@home/"), m_home->path() + QLatin1Char('/'))
                               .replace(QLatin1String("@data/"), Fixtures::dataFile(QString())));
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const auto permit = [](const QString& path, int mode) {
            QVERIFY(QFile::setPermissions(path, QFile::Permissions(mode)));
        };
        if (setup.startsWith(QLatin1String("half-written"))) {
            Fixtures::leaveHalfWritten(lib);
        }
        if (setup.endsWith(QLatin1String("read-only"))) {
            permit(m_home->path(), 0x7777);
            permit(file("VornReader.ini"), 0x6666);
            permit(lib, 0x4444);
            permit(shelf, 0x5555);
            if (setup.startsWith(QLatin1String("half-written"))) {
                permit(lib + QStringLiteral("-journal"), 0x4444);
            }
            command = Cli::asNobody(command);
        } else if (setup == QLatin1String("free pages")) {
            Database db(lib);
            db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 10"));
        } else if (setup == QLatin1String("file-size limit")) {
            QVERIFY(Fixtures::writeFile(file("big.Plus"), Fixtures::generatorText(3000, 12).toUtf8()));
            // The shell leaves the signal as it is: the tool itself must keep from being killed by it.
            command =
                QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                            QStringLiteral("ulimit -f %1; exec \"$0\" \"$@\"").arg(QFileInfo(lib).size() / 512 + 8)} +
                command;
        } else if (setup == QLatin1String("refusing trigger")) {
            Database db(lib);
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblSequence "
                                   "BEGIN SELECT RAISE(ABORT, 'refused by a trigger'); END"));
            QVERIFY(Fixtures::writeFile(file("many.Plus"), Fixtures::generatorText(3000, 1).toUtf8()));
        } else if (setup == QLatin1String("no runtime folder")) {
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        }
        const QByteArray bytesBefore = Fixtures::readFile(lib);
        const QString program = command.takeFirst();
        const Cli::Result result = Cli::run(program, command, {}, m_home->path(), environment);
        permit(shelf, 0x7700);
        permit(lib, 0x6600);
        QTEST(result.status, "status");
        says.replace(QLatin1String("@lib"), lib).replace(QLatin1String("@home/"), m_home->path() + QLatin1Char('/'));
        QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList expected = says.isEmpty() ? QStringList() : says.split(QLatin1Char('\n'));
        if (result.status == 2) {
            QVERIFY2(result.err.contains(QLatin1String("--help")), qPrintable(result.err));
            lines = lines.mid(0, 1);
            expected = QStringList{says};
        }
        QVERIFY2(lines.size() == expected.size() && (result.err.isEmpty() || result.err.endsWith(QLatin1Char('\n'))),
                 qPrintable(result.err));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(lines[i].startsWith(QLatin1String("vornreader-cli: ")) && lines[i].contains(expected[i]),
                     qPrintable(result.err));
        }
        QVERIFY(out.isNull() || result.out == out);
        QCOMPARE(QDir(m_home->path()).entryList({QStringLiteral("o.*")}), QStringList());
        for (const QString& written : arguments.filter(QStringLiteral("@home/p."))) {
            QVERIFY(QFileInfo(file(written.mid(6))).size() > 0);
        }
        // Commands that only read leave the file as it was: not even compacted.
        QVERIFY(setup != QLatin1String("free pages") || Fixtures::readFile(lib) == bytesBefore);
    }

    // On a terminal the number found is confirmed there: y moves, anything else does not.
    void exportConfirmsOnATerminal_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::newRow("yes") << QByteArray("y\n") << 0;
        QTest::newRow("no") << QByteArray("n\n") << 1;
    }
    void exportConfirmsOnATerminal() {
        QFETCH(QByteArray, answer);
        const QString source = file("source.mdb"), target = file("target.mdb");
        QCOMPARE(tool({"new", source}).status, 0);
        QCOMPARE(tool({"new", target}).status, 0);
        QCOMPARE(tool({"read", source, Fixtures::dataFile("linux.C1")}).status, 0);
        const Cli::Result result = Cli::run(
            QStringLiteral("script"),
            {QStringLiteral("-qec"), Cli::command({"export", source, target}), QStringLiteral("/dev/null")}, answer);
        QTEST(result.status, "status");
        QVERIFY2(result.out.contains(QStringLiteral("Move 1 sequence to %1?").arg(target)), qPrintable(result.out));
    }

    // A read whose sequences are all stored but whose compaction at the close fails (here on a
    // small disk of its own, too full for the compaction's journal) ends well, with one warning.
    void compactionFailureIsAWarning() {
        if (Cli::run(QStringLiteral("unshare"), {"-rm", "true"}).status != 0) {
            QSKIP("a mount namespace (unshare -rm) is needed for a small disk of the test's own");
        }
        const QString library = file("lib.mdb");
        QCOMPARE(tool({"new", library}).status, 0);
        QVERIFY(Fixtures::writeFile(file("many.Plus"), Fixtures::generatorText(300, 12).toUtf8()));
        QCOMPARE(tool({"read", library, file("many.Plus")}).status, 0);
        {
            Database db(library);
            db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 250"));
        }
        const QString disk = file("disk");
        QVERIFY(QDir().mkpath(disk));
        const QString c1 = Fixtures::dataFile("linux.C1");
        const Cli::Result result =
            Cli::run(QStringLiteral("unshare"),
                     {"-rm", "/bin/sh", "-c",
                      QStringLiteral("mount -t tmpfs -o size=%1k tmpfs \"$0\" && cp \"$1\" \"$0\" && "
                                     "\"$2\" read \"$0/lib.mdb\" \"$3\"; s=$?; cp \"$0/lib.mdb\" \"$1\"; exit $s")
                          .arg(QFileInfo(library).size() / 1024 + 128),
                      disk, library, Cli::path(), c1});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("1 sequence was read from \"%1\".\n").arg(c1));
        QCOMPARE(result.err, QStringLiteral("vornreader-cli: Warning: everything was stored, but the library could not "
                                            "be compacted afterwards: the disk is full or the file has reached its "
                                            "size limit.\n"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
