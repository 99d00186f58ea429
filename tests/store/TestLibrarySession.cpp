#include "AsNobody.h"
#include "Database.h"
#include "Fixtures.h"
#include "ILibraryHost.h"
#include "LibrarySession.h"
#include "RecordingErrorBox.h"
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
void fillAndFree(const QString& path) {
    Database db(path);
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                           "INSERT INTO tblCall (Sequence, Number, Call) SELECT i, 1, printf('%0500d', i) FROM n"));
    db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 10"));
}

} // namespace

class TestLibrarySession : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    std::optional<RecordingErrorBox> m_box;
    std::optional<FakeLibraryHost> m_host;
    std::optional<LibrarySession> m_session;
    QString m_mdbPath;
    QString m_mdbFile;
    std::array<QString, 20> m_recent;
    qint16 m_recentCnt = 5;

    QString file(const QString& name) const { return m_home->file(name); }
    QString library(const QString& name) const {
        modDataBase::CreateLibrary(file(name));
        return file(name);
    }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_box.emplace();
        m_host.emplace();
        m_mdbPath.clear();
        m_mdbFile.clear();
        m_recent.fill(QString());
        m_session.emplace(LibraryState{m_mdbPath, m_mdbFile, m_recent, m_recentCnt}, *m_host);
    }
    void cleanup() {
        m_session.reset();
        m_box.reset();
        m_home.reset();
    }

    // With open.mdb open, each file given: opened (its folder, name and place in the recent list
    // taken as the file system reads the path, a half-written change rolled back first), or refused
    // with one message before anything else happens: open.mdb stays open, the file is untouched and
    // nothing remembers it.
    void open_data() {
        QTest::addColumn<QString>("setup"); // what the file is, and "read-only" for the file and folder
        QTest::addColumn<QString>("given"); // the path given, in the home or (bare) the current folder
        QTest::addColumn<bool>("readOnly"); // the access asked for
        QTest::addColumn<int>("message");   // 0: opened
        QTest::addColumn<QString>("named"); // the file opened, or named by the message
        const auto row = [](const char* name, const char* setup, const char* given, bool readOnly, int message,
                            const char* named) {
            QTest::newRow(name) << QString(setup) << QString(given) << readOnly << message << QString(named);
        };
        row("a library", "library", "shelf/A.MDB", false, 0, "shelf/A.MDB");
        row("through a link and ..", "library", "jump/../A.MDB", false, 0, "shelf/A.MDB");
        row("bare name in the current folder", "library", "A.MDB", false, 0, "shelf/A.MDB");
        row("half-written", "half-written", "shelf/A.MDB", true, 0, "shelf/A.MDB");
        row("half-written, read-only file", "half-written read-only", "shelf/A.MDB", false, 40167, "shelf/A.MDB");
        row("empty file", "empty", "shelf/A.MDB", true, 40104, "shelf/A.MDB");
        row("another program's database", "notes", "shelf/A.MDB", true, 40104, "shelf/A.MDB");
        row("older library, read-only access", "older", "shelf/A.MDB", true, 40108, "shelf/A.MDB");
        row("older library, read-only file", "older read-only", "shelf/A.MDB", false, 40108, "shelf/A.MDB");
        row("older library with an unknown field", "older odd", "shelf/A.MDB", true, 40109, "shelf/A.MDB");
        row("locked by another program", "locked", "shelf/A.MDB", false, 40105, "shelf/A.MDB");
        row("the template", "template", "vornreader_org.mdb", false, 40102, "vornreader_org.mdb");
        row("a link to the template", "template", "soft.mdb", false, 40102, "vornreader_org.mdb");
        row("a hard link to the template", "template", "hard.mdb", false, 40102, "hard.mdb");
    }
    void open() {
        QFETCH(QString, setup);
        QFETCH(QString, given);
        QFETCH(bool, readOnly);
        QFETCH(int, message);
        QFETCH(QString, named);
        const QString open = library(QStringLiteral("open.mdb"));
        QVERIFY(m_session->OpenSequenceMdbFile(open));
        const QString folder = file(QStringLiteral("shelf"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/deep")));
        QVERIFY(QFile::link(folder + QStringLiteral("/deep"), file(QStringLiteral("jump"))));
        const QString path = file(QStringLiteral("shelf/A.MDB"));
        std::optional<Database> holder;
        if (setup == QLatin1String("empty")) {
            QVERIFY(Fixtures::writeFile(path, QByteArray()));
        } else if (setup == QLatin1String("notes")) {
            Database(path, Database::Mode::Create).exec(QStringLiteral("CREATE TABLE notes (t)"));
        } else if (setup == QLatin1String("template")) {
            modDataBase::CreateLibrary(LibrarySession::TemplatePath());
            QVERIFY(QFile::link(LibrarySession::TemplatePath(), file(QStringLiteral("soft.mdb"))));
            QVERIFY(::link(QFile::encodeName(LibrarySession::TemplatePath()).constData(),
                           QFile::encodeName(file(QStringLiteral("hard.mdb"))).constData()) == 0);
        } else {
            library(QStringLiteral("shelf/A.MDB"));
            Database db(path);
            db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                                   "INSERT INTO tblCall (Sequence, Number, Note) SELECT i, 1, printf('%0500d', i) "
                                   "FROM n"));
            if (setup.startsWith(QLatin1String("older"))) {
                db.exec(QStringLiteral("ALTER TABLE tblSequence DROP COLUMN Author"));
            }
            if (setup.contains(QLatin1String("odd"))) {
                db.exec(QStringLiteral("ALTER TABLE tblSequence ADD Oddity"));
            }
        }
        const QStringList rows = message == 0 ? Fixtures::tables(path) : QStringList();
        if (setup.startsWith(QLatin1String("half-written"))) {
            Fixtures::leaveHalfWritten(path);
        }
        const QByteArray original = Fixtures::readFile(file(named));
        if (setup.endsWith(QLatin1String("read-only"))) {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (setup == QLatin1String("locked")) {
            holder.emplace(path);
            holder->exec(QStringLiteral("BEGIN EXCLUSIVE"));
            holder->exec(QStringLiteral("INSERT INTO tblSequence (Title) VALUES ('pending')"));
        }
        m_host->messages.clear();
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        const bool opened = m_session->OpenSequenceMdbFile(
            given.contains(QLatin1Char('/')) || setup == QLatin1String("template") ? file(given) : given,
            readOnly ? LibrarySession::Access::ReadOnly : LibrarySession::Access::ReadWrite);
        QDir::setCurrent(current);
        holder.reset();
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7700)));
        QCOMPARE(opened, message == 0);
        if (opened) {
            QCOMPARE(m_session->database().path(), path);
            QCOMPARE(QStringList({m_mdbPath, m_mdbFile, m_recent[0], m_recent[1]}),
                     QStringList({folder, QStringLiteral("A.MDB"), path, open}));
            QCOMPARE(Fixtures::exactContent(m_session->database()), rows);
            QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
            return;
        }
        QCOMPARE(m_host->messages, QStringList{QString::number(message) + QLatin1Char(' ') + file(named)});
        QCOMPARE(QStringList({m_mdbFile, m_recent[0], m_recent[1]}), QStringList({"open.mdb", open, QString()}));
        QCOMPARE(Fixtures::readFile(file(named)), original);
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
        std::copy(before.begin(), before.end(), m_recent.begin());
        m_session->addRecentFile(opened);
        QTEST(m_session->recentFiles(), "after");
    }

    void newLibraryFromTheTemplate_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("new name") << false << false;
        QTest::newRow("existing file, OK") << true << true;
        QTest::newRow("existing file, Cancel") << true << false;
    }
    void newLibraryFromTheTemplate() {
        QFETCH(bool, exists);
        QFETCH(bool, overwrite);
        const bool created = overwrite || !exists;
        modDataBase::CreateLibrary(LibrarySession::TemplatePath());
        QVERIFY(m_session->OpenSequenceMdbFile(library(QStringLiteral("open.mdb"))));
        const QString chosen = file(QStringLiteral("new.mdb"));
        QVERIFY(!exists || Fixtures::writeFile(chosen, "keep me"));
        QStringList asked;
        QCOMPARE(m_session->createFromTemplate(chosen,
                                               [&](const QString& existing) {
                                                   asked.append(existing);
                                                   return overwrite;
                                               }),
                 created);
        QCOMPARE(asked, exists ? QStringList{chosen} : QStringList());
        QCOMPARE(m_mdbFile, created ? QStringLiteral("new.mdb") : QStringLiteral("open.mdb"));
        QCOMPARE(Fixtures::readFile(chosen) == "keep me", !created);
    }

    // A library with free pages is compacted in place: the same file (a second program that has
    // it open goes on writing to it) gets smaller and keeps its rows; nothing goes to Temp. A
    // program reading the library keeps it from being compacted: skipped at once and without a
    // word, and done once the reader is gone. Without free pages the file keeps its bytes.
    void compaction() {
        const QString path = library(QStringLiteral("lib.mdb"));
        fillAndFree(path);
        Database db(path);
        Database reader(path);
        reader.exec(QStringLiteral("BEGIN"));
        QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 10);
        const QByteArray original = Fixtures::readFile(path);
        const ino_t inode = inodeOf(path);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!LibrarySession::OptimizeDatabase(db));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(Fixtures::readFile(path), original);
        reader.exec(QStringLiteral("COMMIT"));
        QVERIFY(LibrarySession::OptimizeDatabase(db));
        QCOMPARE(inodeOf(path), inode);
        QVERIFY(QFileInfo(path).size() < original.size() / 4);
        reader.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (99, 1, 'after')"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 11);
        QVERIFY(QDir(file(QStringLiteral("Temp"))).isEmpty());
        QVERIFY(m_box->prompts.isEmpty());
        const QByteArray compacted = Fixtures::readFile(path);
        QVERIFY(LibrarySession::OptimizeDatabase(db));
        QCOMPARE(Fixtures::readFile(path), compacted);
    }

    // Opening the open library again closes it first and opens it anew; each close writes the
    // settings and compacts the file, unless it was opened for reading only: then neither.
    void closeCompactsUnlessOpenedForReading_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read and write") << false;
        QTest::newRow("read only") << true;
    }
    void closeCompactsUnlessOpenedForReading() {
        QFETCH(bool, readOnly);
        const QString path = library(QStringLiteral("lib.mdb"));
        fillAndFree(path);
        const QByteArray original = Fixtures::readFile(path);
        const auto access = readOnly ? LibrarySession::Access::ReadOnly : LibrarySession::Access::ReadWrite;
        QVERIFY(m_session->OpenSequenceMdbFile(path, access));
        QVERIFY(m_session->OpenSequenceMdbFile(path, access));
        QCOMPARE(m_session->isReadOnly(), readOnly);
        m_session->CloseSequenceMdbFile();
        QVERIFY(!m_session->isOpen());
        QCOMPARE(m_host->reads, 2);
        QCOMPARE(m_host->writes, QList<bool>(2, !readOnly));
        QCOMPARE(Fixtures::readFile(path) == original, readOnly);
        QVERIFY(readOnly || QFileInfo(path).size() < original.size() / 4);
    }
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
