#include "Fixtures.h"
#include "TestHome.h"
#include "VornVersion.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QtTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

const QString kCli = QStringLiteral(VORN_CLI_PATH);

// Runs program (the command-line tool unless given) with arguments in folder (the current one
// when empty).
Result run(const QString& program, const QStringList& arguments, const QByteArray& input = {},
           const QString& folder = {}) {
    QProcess process;
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Result cli(const QStringList& arguments, const QByteArray& input = {}) {
    return run(kCli, arguments, input);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct FileIdentity {
    ino_t inode = 0;
    qint64 modified = 0;
    QByteArray bytes;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return {info.st_ino, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec, contents(path)};
}

// Every row of the three sequence tables, for comparing a library's content before and after.
QStringList rowsOf(const QString& path) {
    Database db(path, Database::Mode::ReadOnly);
    return Fixtures::rows(db, QStringLiteral("SELECT * FROM tblSequence ORDER BY Sequence")) +
           Fixtures::rows(db, QStringLiteral("SELECT * FROM tblCall ORDER BY 1, 2")) +
           Fixtures::rows(db, QStringLiteral("SELECT * FROM tblHistory ORDER BY History"));
}

// Leaves the library as a program killed in the middle of a change does: pages of the change
// already in the file, and the journal that undoes them beside it.
void leaveHalfWritten(const QString& path) {
    const pid_t child = fork();
    if (child == 0) {
        Database db(path);
        db.exec(QStringLiteral("PRAGMA cache_size = 1"));
        db.exec(QStringLiteral("BEGIN"));
        db.exec(QStringLiteral("UPDATE tblCall SET Note = Note || hex(randomblob(300))"));
        _exit(0);
    }
    waitpid(child, nullptr, 0);
}

// Overwrites cell pointers of a page in the middle of the file: a damage only a check of the
// whole file finds.
void damagePage(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / 4096;
    QVERIFY(pages > 10);
    file.seek((pages / 3) * 4096 + 8);
    file.write(QByteArray(12, '\xff'));
}

// The command line as the tool would run it for a user who is not root: root passes every
// permission check.
QStringList asNobody(const QStringList& command) {
    return geteuid() == 0 ? QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")} +
                                command
                          : command;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        writeFile(m_home->file(QStringLiteral("VornReader.ini")), "[VornReader]\r\nLanguage=English\r\n");
    }
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
        QTest::newRow("position beyond 32 bits") << QStringList{"paste", "x.mdb", "--at", "99999999999"};
        QTest::newRow("export without target") << QStringList{"export", "x.mdb"};
        QTest::newRow("export from no date") << QStringList{"export", "x.mdb", "y.mdb", "--from", "2002/02/30"};
        QTest::newRow("export to no date") << QStringList{"export", "x.mdb", "y.mdb", "--to", "soon", "--yes"};
        QTest::newRow("export state word") << QStringList{"export", "x.mdb", "y.mdb", "--state", "called"};
        QTest::newRow("export negative state") << QStringList{"export", "x.mdb", "y.mdb", "--state", "-1"};
        QTest::newRow("export level without value") << QStringList{"export", "x.mdb", "y.mdb", "--level"};
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
        QTest::newRow("missing") << "missing.mdb" << QByteArray() << "was not found";
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
        // What was already there is named beside what was read.
        QCOMPARE(result.out,
                 QStringLiteral("19 sequences were read from \"%1\". 1 sequence was already in the library.\n"
                                "1 sequence was read from \"%2\".\n")
                     .arg(plus, c1));
        QCOMPARE(cli({QStringLiteral("read"), library, c1}).out,
                 QStringLiteral("0 sequences were read from \"%1\". 1 sequence was already in the library.\n").arg(c1));

        result = cli({QStringLiteral("list"), library, QStringLiteral("--level"), QStringLiteral("C1")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("20\t2\tC1\t2026/12/06\t08:52:34\t0\ta title comment\n"));
        QCOMPARE(cli({QStringLiteral("list"), library}).out.count(QLatin1Char('\n')), 20);

        // Pasted at position 2: the C1 sequence moves to 3, the pasted one takes 2.
        result = cli({QStringLiteral("paste"), library, QStringLiteral("--at"), QStringLiteral("2")},
                     Fixtures::generatorText(1, 2, QStringLiteral("A2")).toUtf8());
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("1 sequence was read from the clipboard.\n"));
        const QStringList lines =
            cli({QStringLiteral("list"), library, QStringLiteral("--sort"), QStringLiteral("order")})
                .out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 21);
        QVERIFY(lines[19].startsWith(QLatin1String("21\t2\tA2\t")));
        QVERIFY(lines[20].startsWith(QLatin1String("20\t3\tC1\t")));
    }

    // list --not-called-for and history over three sequences heard by Club 0, 1 and 2 on
    // 2026/01/01, 02 and 03: the columns compared of each line, or the status and message.
    void historyCommands_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("out"); // lines cut to their first columns, or standard error
        const auto row = [](const char* name, const QStringList& arguments, int status, int columns, const char* out) {
            QTest::newRow(name) << arguments << status << columns << out;
        };
        row("not called for a party", {"list", "@lib", "--not-called-for", "Club 1", "--since", "2026/01/01"}, 0, 1,
            "1\n3\n");
        row("not called for any party", {"list", "@lib", "--not-called-for", "*", "--since", "2026/1/2"}, 0, 1, "1\n");
        row("history of every party", {"history", "@lib"}, 0, 5,
            "2026/01/01\tClub 0\t1\tPlus\tgenerated sequence 0\n2026/01/02\tClub 1\t2\tPlus\tgenerated sequence 1\n"
            "2026/01/03\tClub 2\t3\tPlus\tgenerated sequence 2\n");
        row("history of a party", {"history", "@lib", "--party", "Club 2"}, 0, 2, "2026/01/03\tClub 2\n");
        row("history of some days", {"history", "@lib", "--from", "2026/01/02", "--to", "2026/01/02"}, 0, 3,
            "2026/01/02\tClub 1\t2\n");
        row("not a date", {"list", "@lib", "--not-called-for", "*", "--since", "2026/02/30"}, 2, 0,
            "--since \"2026/02/30\" is not a date (yyyy/mm/dd)");
        row("since alone", {"list", "@lib", "--since", "2026/01/01"}, 2, 0, "--not-called-for and --since go together");
        row("from after to", {"history", "@lib", "--from", "2026/01/03", "--to", "2026/01/02"}, 2, 0,
            "--from is after --to");
        row("unknown party", {"history", "@lib", "--party", "Club 9"}, 1, 0,
            "--party: the library has no history for the party \"Club 9\"");
    }
    void historyCommands() {
        QFETCH(QStringList, arguments);
        QFETCH(int, columns);
        QFETCH(QString, out);
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("paste"), library}, Fixtures::generatorText(3, 2).toUtf8()).status, 0);
        arguments.replaceInStrings(QStringLiteral("@lib"), library);
        const Result result = cli(arguments);
        QTEST(result.status, "status");
        if (result.status != 0) {
            QVERIFY2(result.err.startsWith(QStringLiteral("vornreader-cli: ") + out), qPrintable(result.err));
            return;
        }
        QString shown;
        for (const QString& line : result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            shown += line.split(QLatin1Char('\t')).mid(0, columns).join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
        QCOMPARE(shown, out);
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
        QCOMPARE(cli({QStringLiteral("paste"), second}, copied.out.toUtf8()).out,
                 QStringLiteral("2 sequences were read from the clipboard.\n"));
        QCOMPARE(cli({QStringLiteral("copy"), second, QStringLiteral("1"), QStringLiteral("2")}).out, copied.out);
    }

    void unreadableFileFails() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        const QString missing = m_home->file(QStringLiteral("missing.Plus"));
        const Result result = cli({QStringLiteral("read"), library, missing});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, QString());
        QVERIFY(result.err.contains(QLatin1String("modSeqText.ReadSequenceText")));
    }

    void help() {
        const Result result = cli({QStringLiteral("--help")});
        QCOMPARE(result.status, 0);
        for (const char* command : {"new LIBRARY", "read LIBRARY", "paste LIBRARY", "copy LIBRARY", "list LIBRARY"}) {
            QVERIFY(result.out.contains(QLatin1String(command)));
        }
    }

    // The tool names the version the program was built as, the one Help > About shows.
    void version() {
        const Result result = cli({QStringLiteral("--version")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("vornreader-cli %1\n").arg(QLatin1String(kVornVersion)));
    }

    // Listing and copying only read: the library keeps its bytes, its inode and its time stamp,
    // even when it has free pages a close would compact.
    void readingCommandsLeaveTheLibrary() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), library, Fixtures::dataFile(QStringLiteral("linux.Plus"))}).status, 0);
        {
            Database db(library);
            db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 10"));
        }
        const FileIdentity before = identityOf(library);
        QCOMPARE(cli({QStringLiteral("list"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("copy"), library, QStringLiteral("1"), QStringLiteral("2")}).status, 0);
        QVERIFY(identityOf(library) == before);
    }

    // copy writes every byte of the stored text, and names the numbers it cannot find while
    // still writing the others.
    void copyIsExact() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), library, Fixtures::dataFile(QStringLiteral("windows.Plus"))}).status, 0);
        {
            Database db(library);
            db.exec(QStringLiteral("UPDATE tblCall SET Call = 'before' || char(0) || 'after' WHERE Sequence = 1 AND "
                                   "Number = 1"));
        }
        const Result result =
            cli({QStringLiteral("copy"), library, QStringLiteral("1"), QStringLiteral("99999"), QStringLiteral("2")});
        QCOMPARE(result.status, 1);
        QVERIFY(result.out.contains(QStringLiteral("before") + QChar(0) + QStringLiteral("after\r\n")));
        QCOMPARE(result.out.count(QStringLiteral("\r\n\f\r\n")), 1);
        QCOMPARE(result.err, QStringLiteral("vornreader-cli: there is no sequence 99999 in the library\n"));
        QVERIFY(cli({QStringLiteral("paste"), library, QStringLiteral("--at"), QStringLiteral("4294967296")})
                    .err.contains(QLatin1String("out of range")));
    }

    // Standard input is decoded as a file is: legacy Japanese and European texts arrive intact.
    void pasteDecodesLegacyText_data() {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("comment");
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << QStringLiteral("シングル テスト");
        QTest::newRow("Windows-1252") << QByteArray("windows-1252") << QStringLiteral("Café Müller, naïve");
    }
    void pasteDecodesLegacyText() {
        QFETCH(QByteArray, encoding);
        QFETCH(QString, comment);
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QString text = Fixtures::generatorText(1, 2);
        text.replace(QStringLiteral("generated sequence 0"), comment);
        QStringEncoder encoder(encoding.constData());
        QVERIFY(encoder.isValid());
        const Result result = cli({QStringLiteral("paste"), library}, encoder.encode(text));
        QCOMPARE(result.status, 0);
        QCOMPARE(Fixtures::value(*std::make_unique<Database>(library), QStringLiteral("SELECT Note FROM tblSequence"))
                     .toString(),
                 comment);
    }

    // A run that fails on the file itself (here: the file-size limit is reached) stops, keeps
    // nothing, says why once and exits 1.
    void fileSizeLimitStopsTheRun() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), library, Fixtures::dataFile(QStringLiteral("windows.Plus"))}).status, 0);
        const QStringList before = rowsOf(library);
        const QString big = m_home->file(QStringLiteral("big.Plus"));
        writeFile(big, Fixtures::generatorText(3000, 12).toUtf8());
        const qint64 limitKb = QFileInfo(library).size() / 1024 + 200;
        const Result result = run(QStringLiteral("/bin/sh"),
                                  {QStringLiteral("-c"),
                                   QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limitKb * 2),
                                   kCli, QStringLiteral("read"), library, big});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(result.err.contains(QLatin1String("stopped")) && result.err.contains(big), qPrintable(result.err));
        QCOMPARE(rowsOf(library), before);
        Database db(library, Database::Mode::ReadOnly);
        QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    // A failure repeated for every sequence is reported once with a count, and the window's
    // question never reaches standard error.
    void repeatedFailureIsReportedOnce() {
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        {
            Database db(library);
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblSequence "
                                   "BEGIN SELECT RAISE(ABORT, 'refused by a trigger'); END"));
        }
        const QString file = m_home->file(QStringLiteral("many.Plus"));
        writeFile(file, Fixtures::generatorText(3000, 1).toUtf8());
        const Result result = cli({QStringLiteral("read"), library, file});
        QCOMPARE(result.status, 1);
        const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(QLatin1String("refused by a trigger")), qPrintable(lines[0]));
        QCOMPARE(lines[1], QStringLiteral("vornreader-cli: ... and 2,999 more sequences failed the same way"));
    }

    // Two libraries of the same name in two folders, closed (and compacted) at the same moment
    // again and again, each keep exactly their own rows.
    void sameNamedLibrariesClosedTogether() {
        QStringList libraries;
        for (const QString& folder : {QStringLiteral("one"), QStringLiteral("two")}) {
            QVERIFY(QDir(m_home->path()).mkpath(folder));
            libraries.append(m_home->file(folder + QStringLiteral("/lib.mdb")));
            QCOMPARE(cli({QStringLiteral("new"), libraries.last()}).status, 0);
        }
        for (int round = 0; round < 8; ++round) {
            QList<QStringList> expected;
            QList<QProcess*> running;
            for (int i = 0; i < 2; ++i) {
                {
                    // Free pages for the close to give back.
                    Database db(libraries[i]);
                    db.exec(QStringLiteral("DELETE FROM tblCall WHERE Number > 4"));
                }
                const QString file = m_home->file(QStringLiteral("round%1-%2.Plus").arg(round).arg(i));
                writeFile(file, Fixtures::generatorText(40, 8, i == 0 ? QStringLiteral("A1") : QStringLiteral("C1"),
                                                        round * 100)
                                    .toUtf8());
                auto* process = new QProcess(this);
                process->start(kCli, {QStringLiteral("read"), libraries[i], file});
                running.append(process);
            }
            for (int i = 0; i < 2; ++i) {
                QVERIFY(running[i]->waitForFinished(60000));
                QCOMPARE(running[i]->exitCode(), 0);
                delete running[i];
                Database db(libraries[i], Database::Mode::ReadOnly);
                QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
                QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), 40 * (round + 1));
                QCOMPARE(db.scalar(QStringLiteral("SELECT count(DISTINCT Level) FROM tblSequence")).toInt(), 1);
            }
        }
    }

    // A read-only library is listed as usual; a command that would change it is refused once,
    // up front. (The file's permissions do not stop root, so root runs the tool as nobody.)
    void readOnlyLibrary() {
        const QString folder = m_home->file(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(folder));
        const QString library = folder + QStringLiteral("/lib.mdb");
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), library, Fixtures::dataFile(QStringLiteral("windows.Plus"))}).status, 0);
        QFile::setPermissions(library, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QStringList prefix;
        if (geteuid() == 0) {
            QFile::setPermissions(m_home->path(), QFile::Permissions(0x7777));
            QFile::setPermissions(m_home->file(QStringLiteral("VornReader.ini")), QFile::Permissions(0x6666));
            prefix = {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                      QStringLiteral("--clear-groups"), kCli};
        } else {
            prefix = {kCli};
        }
        const QString program = prefix.takeFirst();
        const FileIdentity before = identityOf(library);
        Result result = run(program, prefix + QStringList{QStringLiteral("list"), library});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out.count(QLatin1Char('\n')), 6);
        result = run(program, prefix + QStringList{QStringLiteral("read"), library,
                                                   Fixtures::dataFile(QStringLiteral("linux.Plus"))});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.err,
                 QStringLiteral("vornreader-cli: %1 is read-only; this command would change it.\n").arg(library));
        QVERIFY(identityOf(library) == before);
        // One that cannot be read at all says so.
        const QString closed = m_home->file(QStringLiteral("closed.mdb"));
        QVERIFY(QFile::copy(library, closed));
        QFile::setPermissions(closed, QFile::Permissions());
        result = run(program, prefix + QStringList{QStringLiteral("list"), closed});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(QLatin1String("permission denied")), qPrintable(result.err));
        QFile::setPermissions(folder, QFile::Permissions(0x7700));
    }

    // A library named without a folder is the file in the current folder.
    void bareLibraryNameIsInTheCurrentFolder() {
        const QString folder = m_home->file(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(run(kCli, {QStringLiteral("new"), QStringLiteral("lib.mdb")}, {}, folder).status, 0);
        const Result result = run(
            kCli, {QStringLiteral("read"), QStringLiteral("lib.mdb"), Fixtures::dataFile(QStringLiteral("linux.C1"))},
            {}, folder);
        QCOMPARE(result.status, 0);
        QCOMPARE(rowsOf(folder + QStringLiteral("/lib.mdb")).size() > 0, true);
        QVERIFY(!QFileInfo::exists(m_home->file(QStringLiteral("lib.mdb"))));
    }

    // export moves what the filter takes and prints the number moved; without a terminal to
    // confirm on it moves nothing unless --yes is given.
    void exportMovesWhatTheFilterTakes() {
        const QString source = m_home->file(QStringLiteral("source.mdb"));
        const QString target = m_home->file(QStringLiteral("target.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), source}).status, 0);
        QCOMPARE(cli({QStringLiteral("new"), target}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), source, Fixtures::dataFile(QStringLiteral("linux.Plus")),
                      Fixtures::dataFile(QStringLiteral("linux.C1"))})
                     .status,
                 0);
        const QStringList before = rowsOf(source);
        const QStringList c1{QStringLiteral("export"), source, target, QStringLiteral("--level"), QStringLiteral("C1")};

        Result result = cli(c1);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(QStringLiteral("Move 1 sequence to %1?").arg(target)) &&
                     result.err.contains(QLatin1String("--yes")),
                 qPrintable(result.err));
        QCOMPARE(result.out, QString());
        QCOMPARE(rowsOf(source), before);
        QCOMPARE(rowsOf(target), QStringList());

        result = cli(c1 + QStringList{QStringLiteral("--from"), QStringLiteral("2026/12/7"), QStringLiteral("--yes")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("0\n"));

        result = cli(c1 + QStringList{QStringLiteral("--from"), QStringLiteral("2026/12/6"), QStringLiteral("--to"),
                                      QStringLiteral("2026-12-06"), QStringLiteral("--yes")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("1\n"));
        QCOMPARE(result.err, QString());
        QCOMPARE(cli({QStringLiteral("list"), target}).out,
                 QStringLiteral("1\t1\tC1\t2026/12/06\t08:52:34\t0\ta title comment\n"));

        result = cli({QStringLiteral("export"), source, target, QStringLiteral("--yes")});
        QCOMPARE(result.out, QStringLiteral("19\n"));
        QCOMPARE(cli({QStringLiteral("list"), source}).out, QString());
        QCOMPARE(cli({QStringLiteral("list"), target}).out.count(QLatin1Char('\n')), 20);
    }

    // On a terminal the number found is confirmed there: y moves, anything else does not.
    void exportConfirmsOnATerminal_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("moved");
        QTest::newRow("yes") << QByteArray("y\n") << 0 << 1;
        QTest::newRow("no") << QByteArray("n\n") << 1 << 0;
    }
    void exportConfirmsOnATerminal() {
        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        if (script.isEmpty()) {
            QSKIP("script (util-linux) is needed to give the tool a terminal");
        }
        QFETCH(QByteArray, answer);
        const QString source = m_home->file(QStringLiteral("source.mdb"));
        const QString target = m_home->file(QStringLiteral("target.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), source}).status, 0);
        QCOMPARE(cli({QStringLiteral("new"), target}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), source, Fixtures::dataFile(QStringLiteral("linux.C1"))}).status, 0);
        const QString command = QStringLiteral("'%1' export '%2' '%3'").arg(kCli, source, target);
        const Result result = run(
            script,
            {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-c"), command, QStringLiteral("/dev/null")},
            answer);
        QTEST(result.status, "status");
        QVERIFY2(result.out.contains(QStringLiteral("Move 1 sequence to %1?").arg(target)), qPrintable(result.out));
        Database db(target, Database::Mode::ReadOnly);
        QTEST(db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), "moved");
    }

    // The same file under another spelling, and a target that cannot be written, are refused
    // before anything changes. (The file's permissions do not stop root, so root runs the tool as
    // nobody.)
    void exportRefusals() {
        const QString folder = m_home->file(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(folder));
        const QString source = m_home->file(QStringLiteral("source.mdb"));
        const QString target = folder + QStringLiteral("/target.mdb");
        QCOMPARE(cli({QStringLiteral("new"), source}).status, 0);
        QCOMPARE(cli({QStringLiteral("new"), target}).status, 0);
        QCOMPARE(cli({QStringLiteral("read"), source, Fixtures::dataFile(QStringLiteral("windows.Plus"))}).status, 0);
        const QByteArray sourceBytes = contents(source);

        Result result =
            cli({QStringLiteral("export"), source, folder + QStringLiteral("/../source.mdb"), QStringLiteral("--yes")});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.err, QStringLiteral("vornreader-cli: The source and target databases are the same file.\n"));

        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QStringList prefix{kCli};
        if (geteuid() == 0) {
            QFile::setPermissions(m_home->path(), QFile::Permissions(0x7777));
            QFile::setPermissions(m_home->file(QStringLiteral("VornReader.ini")), QFile::Permissions(0x6666));
            QFile::setPermissions(source, QFile::Permissions(0x6666));
            prefix = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                 QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), kCli};
        }
        const QString program = prefix.takeFirst();
        const QByteArray targetBytes = contents(target);
        result = run(program, prefix + QStringList{QStringLiteral("export"), source, target, QStringLiteral("--yes")});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.err,
                 QStringLiteral("vornreader-cli: %1 is read-only; this command would change it.\n").arg(target));
        QVERIFY(contents(source) == sourceBytes);
        QVERIFY(contents(target) == targetBytes);
        QFile::setPermissions(folder, QFile::Permissions(0x7700));
    }

    // A read whose sequences are all stored but whose compaction at the close fails (here on a
    // small disk of its own, too full for the compaction's journal) ends well, with one warning.
    void compactionFailureIsAWarning() {
        if (run(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")}).status != 0) {
            QSKIP("a mount namespace (unshare -rm) is needed for a small disk of the test's own");
        }
        const QString library = m_home->file(QStringLiteral("lib.mdb"));
        QCOMPARE(cli({QStringLiteral("new"), library}).status, 0);
        writeFile(m_home->file(QStringLiteral("many.Plus")), Fixtures::generatorText(300, 12).toUtf8());
        QCOMPARE(cli({QStringLiteral("read"), library, m_home->file(QStringLiteral("many.Plus"))}).status, 0);
        {
            Database db(library);
            db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 250"));
        }
        const QString disk = m_home->file(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        const QString c1 = Fixtures::dataFile(QStringLiteral("linux.C1"));
        const Result result =
            run(QStringLiteral("unshare"),
                {QStringLiteral("-rm"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                 QStringLiteral("mount -t tmpfs -o size=%1k tmpfs \"$0\" && cp \"$1\" \"$0\" && "
                                "\"$2\" read \"$0/lib.mdb\" \"$3\"; s=$?; cp \"$0/lib.mdb\" \"$1\"; exit $s")
                     .arg(QFileInfo(library).size() / 1024 + 128),
                 disk, library, kCli, c1});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QStringLiteral("1 sequence was read from \"%1\".\n").arg(c1));
        QCOMPARE(result.err, QStringLiteral("vornreader-cli: Warning: everything was stored, but the library could not "
                                            "be compacted afterwards: the disk is full or the file has reached its "
                                            "size limit.\n"));
        Database db(library, Database::Mode::ReadOnly);
        QCOMPARE(Fixtures::value(db, QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), 301);
        QVERIFY(Fixtures::value(db, QStringLiteral("PRAGMA freelist_count")).toInt() > 0);
    }

    // What the tool does when an output, a file or the command line is not what it seems: one row
    // each. The library is shelf/lib.mdb with linux.Plus read into it; "lib.mdb" in the home is
    // another library that no row may touch unless it names it; no journal is ever left behind.
    void outcomes_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments"); // @lib: the library; @home/NAME, @data/NAME: files
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");    // on standard error, in one line; empty: nothing at all
        QTest::addColumn<QString>("library"); // "bytes" or "rows" kept, or "changed"
        QTest::addColumn<int>("other");       // sequences in the home's lib.mdb afterwards
        const auto row = [](const char* name, const char* setup, const QStringList& arguments, int status,
                            const char* says, const char* library, int other = 0) {
            QTest::newRow(name) << setup << arguments << status << says << library << other;
        };
        row("pdf over the library", "", {"print", "@lib", "1", "--pdf", "@lib"}, 1,
            "Nothing was written to @lib: that name leads to the VornReader library @lib", "bytes");
        row("pdf through a link to the library", "link", {"print", "@lib", "1", "--pdf", "@home/out.pdf"}, 1,
            "Nothing was written to @home/out.pdf: that name leads to the VornReader library @lib", "bytes");
        row("no runtime folder", "no runtime folder", {"print", "@lib", "1", "--pdf", "@home/new.pdf"}, 0, "", "bytes");
        row("half-written: list", "half-written", {"list", "@lib"}, 0, "", "rows");
        row("half-written: copy", "half-written", {"copy", "@lib", "1"}, 0, "", "rows");
        row("half-written: xlsx", "half-written", {"xlsx", "@lib", "1", "@home/out.xlsx"}, 0, "", "rows");
        row("half-written, read-only", "half-written read-only", {"list", "@lib"}, 1,
            "@lib was left half-written by a program that stopped", "bytes");
        row("file-size limit: read", "file-size limit", {"read", "@lib", "@home/big.Plus"}, 1,
            "the file has reached its size limit", "rows");
        row("file-size limit: export", "file-size limit", {"export", "@lib", "@home/target.mdb", "--yes"}, 1,
            "the file has reached its size limit. Nothing was moved.", "rows");
        row("sequence numbers used up", "numbers used up", {"read", "@lib", "@data/linux.C1"}, 1,
            "the library has given out the highest sequence number there is", "rows");
        row("a file named --quiet", "", {"read", "@lib", "--", "--quiet"}, 0, "", "changed");
        row("read through a link and ..", "", {"read", "@home/jump/../lib.mdb", "@data/linux.C1"}, 0, "", "changed");
        row("export through a link and ..", "", {"export", "@home/jump/../lib.mdb", "@home/lib.mdb", "--yes"}, 0, "",
            "changed", 19);
        row("template by a hard link", "", {"read", "@home/hard.mdb", "@data/linux.C1"}, 1,
            "@home/hard.mdb is the template database", "bytes");
        row("damaged target", "damaged target", {"export", "@lib", "@home/target.mdb", "--yes"}, 1,
            "@home/target.mdb is damaged (", "bytes");
        row("target in use", "target in use", {"export", "@lib", "@home/target.mdb", "--yes"}, 1,
            "@home/target.mdb is in use by another program; try again when it is closed.", "bytes");
    }
    void outcomes() {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        QFETCH(QString, library);
        const QString shelf = m_home->file(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(shelf + QStringLiteral("/deep")));
        const QString lib = shelf + QStringLiteral("/lib.mdb");
        const QString other = m_home->file(QStringLiteral("lib.mdb"));
        const QString target = m_home->file(QStringLiteral("target.mdb"));
        for (const QString& path : {lib, other, target}) {
            QCOMPARE(cli({QStringLiteral("new"), path}).status, 0);
        }
        QCOMPARE(cli({QStringLiteral("read"), lib, Fixtures::dataFile(QStringLiteral("linux.Plus"))}).status, 0);
        QVERIFY(QFile::link(shelf + QStringLiteral("/deep"), m_home->file(QStringLiteral("jump"))));
        QVERIFY(QFile::link(lib, m_home->file(QStringLiteral("out.pdf"))));
        QVERIFY(::link(QFile::encodeName(m_home->file(QStringLiteral("vornreader_org.mdb"))).constData(),
                       QFile::encodeName(m_home->file(QStringLiteral("hard.mdb"))).constData()) == 0);
        writeFile(m_home->file(QStringLiteral("--quiet")),
                  Fixtures::generatorText(1, 2, QStringLiteral("A1")).toUtf8());
        const QStringList rowsBefore = rowsOf(lib);

        QStringList command{kCli};
        for (const QString& argument : arguments) {
            command.append(QString(argument)
                               .replace(QLatin1String("@lib"), lib)
                               .replace(QLatin1String("@home/"), m_home->path() + QLatin1Char('/'))
                               .replace(QLatin1String("@data/"), Fixtures::dataFile(QString())));
        }
        QProcess process;
        process.setWorkingDirectory(m_home->path());
        std::optional<Database> holder;
        if (setup == QLatin1String("half-written") || setup == QLatin1String("half-written read-only")) {
            leaveHalfWritten(lib);
            QVERIFY(QFileInfo::exists(lib + QStringLiteral("-journal")));
        }
        if (setup == QLatin1String("half-written read-only")) {
            QFile::setPermissions(lib, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            QFile::setPermissions(lib + QStringLiteral("-journal"), QFile::ReadOwner | QFile::ReadOther);
            QFile::setPermissions(shelf, QFile::Permissions(0x5555));
            QFile::setPermissions(m_home->path(), QFile::Permissions(0x7777));
            QFile::setPermissions(m_home->file(QStringLiteral("VornReader.ini")), QFile::Permissions(0x6666));
            command = asNobody(command);
        } else if (setup == QLatin1String("file-size limit")) {
            writeFile(m_home->file(QStringLiteral("big.Plus")), Fixtures::generatorText(3000, 12).toUtf8());
            // A target as large as the library: the limit leaves the library room to be restored.
            if (arguments.front() == QLatin1String("export")) {
                QCOMPARE(cli({QStringLiteral("read"), target, Fixtures::dataFile(QStringLiteral("linux.Plus"))}).status,
                         0);
            }
            // The shell leaves the signal as it is: the tool itself must keep from being killed by it.
            const qint64 blocks =
                (QFileInfo(arguments.front() == QLatin1String("export") ? target : lib).size() + 4 * 1024) / 512;
            command = QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                  QStringLiteral("ulimit -f %1; exec \"$0\" \"$@\"").arg(blocks)} +
                      command;
        } else if (setup == QLatin1String("numbers used up")) {
            Database db(lib);
            db.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = 9223372036854775807 WHERE name = 'tblSequence'"));
        } else if (setup == QLatin1String("no runtime folder")) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            process.setProcessEnvironment(environment);
        } else if (setup == QLatin1String("damaged target")) {
            QCOMPARE(cli({QStringLiteral("read"), target, Fixtures::dataFile(QStringLiteral("windows.Plus")),
                          Fixtures::dataFile(QStringLiteral("linux.Plus"))})
                         .status,
                     0);
            damagePage(target);
        }
        const QByteArray bytesBefore = contents(lib);
        const QByteArray targetBefore = contents(target);
        // Taken last: closing any other handle on the file in this process would drop the lock.
        if (setup == QLatin1String("target in use")) {
            holder.emplace(target);
            holder->exec(QStringLiteral("BEGIN IMMEDIATE"));
        }
        process.start(command.takeFirst(), command);
        QVERIFY(process.waitForFinished(60000));
        holder.reset();
        QFile::setPermissions(shelf, QFile::Permissions(0x7700));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QTEST(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, "status");
        if (says.isEmpty()) {
            QVERIFY2(err.isEmpty(), qPrintable(err));
        } else {
            says.replace(QLatin1String("@lib"), lib)
                .replace(QLatin1String("@home/"), m_home->path() + QLatin1Char('/'));
            QVERIFY2(err.startsWith(QStringLiteral("vornreader-cli: ")) && err.count(QLatin1Char('\n')) == 1 &&
                         err.contains(says),
                     qPrintable(err));
        }
        if (library == QLatin1String("bytes")) {
            QVERIFY(contents(lib) == bytesBefore);
        } else {
            QCOMPARE(rowsOf(lib) == rowsBefore, library == QLatin1String("rows"));
        }
        {
            Database db(other, Database::Mode::ReadOnly);
            QTEST(Fixtures::value(db, QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), "other");
        }
        QVERIFY(contents(target) == targetBefore);
        if (setup != QLatin1String("half-written read-only")) {
            QCOMPARE(QDir(m_home->path()).entryList({QStringLiteral("*-journal")}) +
                         QDir(shelf).entryList({QStringLiteral("*-journal")}),
                     QStringList());
        }
    }

private:
    std::unique_ptr<TestHome> m_home;
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
