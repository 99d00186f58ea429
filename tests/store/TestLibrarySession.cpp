#include "AsNobody.h"
#include "Database.h"
#include "Fixtures.h"
#include "ILibraryHost.h"
#include "LibrarySession.h"
#include "RecordingErrorBox.h"
#include "SequenceListQuery.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FakeLibraryHost final : public ILibraryHost {
public:
    void showMessage(int key, const QVariantList& arguments) override {
        messages.append(QString::number(key) + QLatin1Char(' ') +
                        (arguments.isEmpty() ? QString() : arguments.front().toString()));
    }
    std::optional<QString> askAuthor(const QString&) override { return std::nullopt; }
    void readLibrarySettings(Database&) override { ++reads; }
    void writeLibrarySettings(Database* db) override { writes.append(db != nullptr); }

    QStringList messages;
    int reads = 0;
    QList<bool> writes;
};

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// 3,000 calls of 500 characters, then all but 10 deleted: most of the file is free pages.
void fillAndFree(Database& db) {
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                           "INSERT INTO tblCall (Sequence, Number, Call) SELECT i, 1, printf('%0500d', i) FROM n"));
    db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 10"));
}

} // namespace

class TestLibrarySession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        m_host = std::make_unique<FakeLibraryHost>();
        m_mdbPath.clear();
        m_mdbFile.clear();
        m_recent.fill(QString());
        m_recentCnt = 5;
        m_session =
            std::make_unique<LibrarySession>(LibraryState{m_mdbPath, m_mdbFile, m_recent, m_recentCnt}, *m_host);
    }
    void cleanup() {
        m_session.reset();
        m_box.reset();
        m_home.reset();
    }

    // The template new libraries are copied from is never opened as a library, under any name.
    void templateIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("its own name") << "vornreader_org.mdb";
        QTest::newRow("a symbolic link") << "soft.mdb";
        QTest::newRow("a hard link") << "hard.mdb";
    }
    void templateIsRefused() {
        QFETCH(QString, name);
        const QString templatePath = m_home->file(QStringLiteral("vornreader_org.mdb"));
        modDataBase::CreateLibrary(templatePath);
        QVERIFY(QFile::link(templatePath, m_home->file(QStringLiteral("soft.mdb"))));
        QVERIFY(::link(QFile::encodeName(templatePath).constData(),
                       QFile::encodeName(m_home->file(QStringLiteral("hard.mdb"))).constData()) == 0);
        const QString path = m_home->file(name);
        QVERIFY(!m_session->OpenSequenceMdbFile(path));
        QCOMPARE(m_host->messages,
                 QStringList{QStringLiteral("40102 ") + (name == QLatin1String("soft.mdb") ? templatePath : path)});
        QVERIFY(!m_session->isOpen());
        QCOMPARE(m_host->reads, 0);
    }

    // A path is taken as the file system reads it: ".." after a link leads to the parent of the
    // link's target, and that file is the one opened, shown and remembered.
    void pathsAreResolvedThroughLinks() {
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("shelf/deep")));
        QVERIFY(QFile::link(m_home->file(QStringLiteral("shelf/deep")), m_home->file(QStringLiteral("jump"))));
        modDataBase::CreateLibrary(m_home->file(QStringLiteral("shelf/a.mdb")));
        modDataBase::CreateLibrary(m_home->file(QStringLiteral("a.mdb")));
        QVERIFY(m_session->OpenSequenceMdbFile(m_home->file(QStringLiteral("jump/../a.mdb"))));
        QCOMPARE(m_session->database().path(), m_home->file(QStringLiteral("shelf/a.mdb")));
        QCOMPARE(m_mdbPath, m_home->file(QStringLiteral("shelf")));
        QCOMPARE(m_recent[0], m_home->file(QStringLiteral("shelf/a.mdb")));
    }

    void openSplitsThePathAndRemembersIt() {
        const QString path = m_home->file(QStringLiteral("Lib/A.MDB"));
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("Lib")));
        modDataBase::CreateLibrary(path);
        QVERIFY(m_session->OpenSequenceMdbFile(path));
        QVERIFY(m_session->isOpen());
        QCOMPARE(m_mdbPath, m_home->file(QStringLiteral("Lib")));
        QCOMPARE(m_mdbFile, QStringLiteral("A.MDB"));
        QCOMPARE(m_recent[0], path);
        QCOMPARE(m_host->reads, 1);

        // Opening it again closes it first (settings written, file compacted) and opens it anew.
        QVERIFY(m_session->OpenSequenceMdbFile(path));
        QCOMPARE(m_host->writes, QList<bool>{true});
        QCOMPARE(m_host->reads, 2);

        m_session->CloseSequenceMdbFile();
        QVERIFY(!m_session->isOpen());
        QVERIFY(m_box->prompts.isEmpty());
    }

    void recentList_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("after");
        const QStringList five{"a", "b", "c", "d", "e"};
        QTest::newRow("known path moves up") << five << "c" << QStringList{"c", "a", "b", "d", "e"};
        QTest::newRow("new path pushes the last out") << five << "f" << QStringList{"f", "a", "b", "c", "d"};
        QTest::newRow("first path stays alone") << five << "a" << five;
        QTest::newRow("other letter case matches") << five << "D" << QStringList{"D", "a", "b", "c", "e"};
        QTest::newRow("short list grows") << QStringList{"a", "b"} << "x" << QStringList{"x", "a", "b"};
    }
    void recentList() {
        QFETCH(QStringList, before);
        QFETCH(QString, opened);
        for (qsizetype i = 0; i < before.size(); ++i) {
            m_recent[i] = before[i];
        }
        m_session->addRecentFile(opened);
        QTEST(m_session->recentFiles(), "after");
    }

    void newLibraryFromTheTemplate_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("created");
        QTest::newRow("new name") << false << false << true;
        QTest::newRow("existing file, OK") << true << true << true;
        QTest::newRow("existing file, Cancel") << true << false << false;
    }
    void newLibraryFromTheTemplate() {
        QFETCH(bool, exists);
        QFETCH(bool, overwrite);
        QFETCH(bool, created);
        modDataBase::CreateLibrary(LibrarySession::TemplatePath());
        const QString open = m_home->file(QStringLiteral("open.mdb"));
        modDataBase::CreateLibrary(open);
        QVERIFY(m_session->OpenSequenceMdbFile(open));
        const QString chosen = m_home->file(QStringLiteral("new.mdb"));
        QVERIFY(!exists || Fixtures::writeFile(chosen, "keep me"));
        QCOMPARE(m_session->createFromTemplate(chosen,
                                               [&](const QString& existing) {
                                                   m_host->messages.append(QStringLiteral("40113 ") + existing);
                                                   return overwrite;
                                               }),
                 created);
        QCOMPARE(m_host->messages, exists ? QStringList{QStringLiteral("40113 ") + chosen} : QStringList());
        QCOMPARE(m_mdbFile, created ? QStringLiteral("new.mdb") : QStringLiteral("open.mdb"));
        QVERIFY(m_session->isOpen());
        QCOMPARE(Fixtures::readFile(chosen) == "keep me", !created);
    }

    // A library with free pages is compacted in place: the same file (a second program that has
    // it open goes on writing to it) gets smaller and keeps its rows; nothing goes to Temp.
    void compactionInPlace() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        const QString path = db.path();
        fillAndFree(db);
        Database idle(path);
        QCOMPARE(idle.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 10);
        const qint64 before = QFileInfo(path).size();
        const ino_t inode = inodeOf(path);
        QVERIFY(LibrarySession::OptimizeDatabase(db));
        QCOMPARE(inodeOf(path), inode);
        QVERIFY(QFileInfo(path).size() < before / 4);
        idle.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (99, 1, 'after')"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 11);
        QVERIFY(!QFileInfo::exists(m_home->file(QStringLiteral("Temp"))) ||
                QDir(m_home->file(QStringLiteral("Temp"))).isEmpty());
        QVERIFY(m_box->prompts.isEmpty());
        // Without free pages there is nothing to give back: the file keeps its bytes.
        const QByteArray compacted = Fixtures::readFile(path);
        QVERIFY(LibrarySession::OptimizeDatabase(db));
        QCOMPARE(Fixtures::readFile(path), compacted);
    }

    // A program reading the library keeps it from being compacted: skipped at once and without a
    // word (the close does not wait for the reader), and done at the next close once it is gone.
    void libraryInUseIsSkippedSilently() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        fillAndFree(db);
        Database reader(db.path());
        reader.exec(QStringLiteral("BEGIN"));
        QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 10);
        const QByteArray original = Fixtures::readFile(db.path());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!LibrarySession::OptimizeDatabase(db));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(m_box->prompts.isEmpty(), qPrintable(m_box->prompts.join(QLatin1Char('\n'))));
        QCOMPARE(Fixtures::readFile(db.path()), original);
        reader.exec(QStringLiteral("COMMIT"));
        QVERIFY(LibrarySession::OptimizeDatabase(db));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 10);
    }

    // Closing the open library compacts it in place; a library opened for reading only is
    // neither written nor compacted.
    void closeCompactsUnlessOpenedForReading_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read and write") << false;
        QTest::newRow("read only") << true;
    }
    void closeCompactsUnlessOpenedForReading() {
        QFETCH(bool, readOnly);
        const QString path = m_home->file(QStringLiteral("lib.mdb"));
        {
            Database db;
            Fixtures::createLibrary(db, m_home->path(), QStringLiteral("lib.mdb"));
            fillAndFree(db);
        }
        const QByteArray original = Fixtures::readFile(path);
        QVERIFY(m_session->OpenSequenceMdbFile(path, readOnly ? LibrarySession::Access::ReadOnly
                                                              : LibrarySession::Access::ReadWrite));
        QCOMPARE(m_session->isReadOnly(), readOnly);
        m_session->CloseSequenceMdbFile();
        QCOMPARE(m_host->writes, QList<bool>{!readOnly});
        if (readOnly) {
            QCOMPARE(Fixtures::readFile(path), original);
        } else {
            QVERIFY(QFileInfo(path).size() < original.size() / 4);
        }
    }

    // A file that is not a library, or that this user cannot bring up to date, is refused with one
    // message before anything else happens: the open library stays open, the file is untouched
    // and nothing remembers it. A file a stopped program left half-written is rolled back first.
    void openOutcomes_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sql");   // of the file; "library": a current one with calls
        QTest::addColumn<QString>("setup"); // "read-only" file, "half-written" by a stopped program
        QTest::addColumn<bool>("readOnly"); // the access asked for
        QTest::addColumn<int>("message");   // 0: opened
        const QString older = QStringLiteral("CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY, Level, Date, "
                                             "Time, Version, Title, Note, Property); "
                                             "CREATE TABLE tblCall (Sequence, Number, Call, Figure, Note)");
        QTest::newRow("empty file") << QByteArray("") << QString() << "" << true << 40104;
        QTest::newRow("text file") << QByteArray(3000, 'x') << QString() << "" << true << 40104;
        QTest::newRow("another program's database") << QByteArray() << "CREATE TABLE notes (text)"
                                                    << "" << true << 40104;
        QTest::newRow("older library, read-only access") << QByteArray() << older << "" << true << 40108;
        QTest::newRow("older library, read-only file") << QByteArray() << older << "read-only" << false << 40108;
        QTest::newRow("older library with an unknown field")
            << QByteArray() << older + QStringLiteral("; ALTER TABLE tblSequence ADD Oddity") << "" << true << 40109;
        QTest::newRow("half-written") << QByteArray() << "library"
                                      << "half-written" << true << 0;
        QTest::newRow("half-written, read-only file") << QByteArray() << "library"
                                                      << "half-written read-only" << false << 40167;
    }
    void openOutcomes() {
        QFETCH(QByteArray, content);
        QFETCH(QString, sql);
        QFETCH(QString, setup);
        QFETCH(bool, readOnly);
        QFETCH(int, message);
        const QString open = m_home->file(QStringLiteral("open.mdb"));
        modDataBase::CreateLibrary(open);
        QVERIFY(m_session->OpenSequenceMdbFile(open));
        const QString folder = m_home->file(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/refused.mdb");
        if (sql.isEmpty()) {
            QVERIFY(Fixtures::writeFile(path, content));
        } else if (sql == QLatin1String("library")) {
            modDataBase::CreateLibrary(path);
            Database db(path);
            db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                                   "INSERT INTO tblCall (Sequence, Number, Note) SELECT i, 1, printf('%0500d', i) "
                                   "FROM n"));
        } else {
            Database db(path, Database::Mode::Create);
            for (const QString& statement : sql.split(QLatin1Char(';'))) {
                db.exec(statement);
            }
        }
        QStringList rows;
        if (setup.startsWith(QLatin1String("half-written"))) {
            rows = Fixtures::tables(path);
            Fixtures::leaveHalfWritten(path);
        }
        if (setup.endsWith(QLatin1String("read-only"))) {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QByteArray original = Fixtures::readFile(path);
        m_host->messages.clear();
        const bool opened = m_session->OpenSequenceMdbFile(path, readOnly ? LibrarySession::Access::ReadOnly
                                                                          : LibrarySession::Access::ReadWrite);
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7700)));
        QCOMPARE(opened, message == 0);
        if (opened) {
            QCOMPARE(Fixtures::tables(m_session->database()), rows);
            QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
            return;
        }
        QCOMPARE(m_host->messages.size(), 1);
        QVERIFY2(m_host->messages.front().startsWith(QString::number(message)), qPrintable(m_host->messages.front()));
        QCOMPARE(m_mdbFile, QStringLiteral("open.mdb"));
        QCOMPARE(m_recent[0], open);
        QVERIFY(m_recent[1].isEmpty());
        QCOMPARE(Fixtures::readFile(path), original);
        QVERIFY(m_box->prompts.isEmpty());
    }

    // The list's orders: by date and time, by stored order, by state; all levels or one.
    void listOrder_data() {
        QTest::addColumn<int>("sort");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("titles");
        QTest::newRow("by date") << 0 << "AllLevel"
                                 << "D A C B";
        QTest::newRow("by stored order") << 1 << "AllLevel"
                                         << "C B D A";
        QTest::newRow("by state, one level") << 2 << "Plus"
                                             << "B D A";
    }
    void listOrder() {
        QFETCH(int, sort);
        QFETCH(QString, level);
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        db.exec(QStringLiteral("INSERT INTO tblSequence (Title, Level, Date, Time, OrderNo, Property) VALUES "
                               "('A', 'Plus', '2026/01/02', '08:00:00', 2, 1), ('B', 'Plus', '2026/01/03', '07:00:00', "
                               "1, 0), ('C', 'C1', '2026/01/02', '09:00:00', 1, 2), ('D', 'Plus', '2026/01/01', "
                               "'10:00:00', 2, 1)"));
        Statement list = SequenceListQuery::prepare(db, level, sort);
        QStringList titles;
        while (list.step()) {
            titles.append(list.text(0));
        }
        QTEST(titles.join(QLatin1Char(' ')), "titles");
    }

    // A library another program holds locked is in use, not "not a library".
    void lockedLibraryIsInUse() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        db.exec(QStringLiteral("INSERT INTO tblSequence (Title) VALUES ('pending')"));
        QVERIFY(!m_session->OpenSequenceMdbFile(db.path()));
        QCOMPARE(m_host->messages, QStringList{QStringLiteral("40105 ") + db.path()});
        QVERIFY(m_mdbFile.isEmpty());
        db.exec(QStringLiteral("ROLLBACK"));
    }

    // A library named without a folder is the file in the current folder, and is kept by its
    // absolute path.
    void bareNameIsInTheCurrentFolder() {
        const QString folder = m_home->file(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(folder));
        modDataBase::CreateLibrary(folder + QStringLiteral("/lib.mdb"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        const bool opened = m_session->OpenSequenceMdbFile(QStringLiteral("lib.mdb"));
        QDir::setCurrent(previous);
        QVERIFY(opened);
        QCOMPARE(m_mdbPath, QFileInfo(folder).absoluteFilePath());
        QCOMPARE(m_recent[0], QFileInfo(folder).absoluteFilePath() + QStringLiteral("/lib.mdb"));
    }

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<FakeLibraryHost> m_host;
    std::unique_ptr<LibrarySession> m_session;
    QString m_mdbPath;
    QString m_mdbFile;
    std::array<QString, 20> m_recent;
    qint16 m_recentCnt = 5;
};

// The read-only rows need an ordinary user.
int main(int argc, char** argv) {
    restartAsNobody(argv);
    QCoreApplication app(argc, argv);
    TestLibrarySession test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "TestLibrarySession.moc"
