#include "Database.h"
#include "Fixtures.h"
#include "ILibraryHost.h"
#include "LibrarySession.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

class FakeLibraryHost final : public ILibraryHost {
public:
    void showMessage(int key, const QVariantList& arguments) override {
        messages.append(QString::number(key) + QLatin1Char(' ') +
                        (arguments.isEmpty() ? QString() : arguments.front().toString()));
    }
    bool askOverwrite(const QString& path) override {
        messages.append(QStringLiteral("40113 ") + path);
        return overwrite;
    }
    std::optional<QString> chooseLibraryFile(int, const QString&) override { return choice; }
    std::optional<QString> askAuthor(const QString&) override { return std::nullopt; }
    void readLibrarySettings(Database&) override { ++reads; }
    void writeLibrarySettings(Database* db) override { writes.append(db != nullptr); }

    QStringList messages;
    bool overwrite = false;
    std::optional<QString> choice;
    int reads = 0;
    QList<bool> writes;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        m_funcKey.clear();
        m_recent.fill(QString());
        m_recentCnt = 5;
        m_session = std::make_unique<LibrarySession>(
            LibraryState{m_mdbPath, m_mdbFile, m_funcKey, m_recent, m_recentCnt}, *m_host);
    }
    void cleanup() {
        m_session.reset();
        m_box.reset();
        m_home.reset();
    }

    // The template new libraries are copied from is never opened as a library.
    void templateIsRefused() {
        const QString path = m_home->file(QStringLiteral("vornreader_org.mdb"));
        modDataBase::CreateLibrary(path);
        QVERIFY(!m_session->OpenSequenceMdbFile(path, QString()));
        QCOMPARE(m_host->messages, QStringList{QStringLiteral("40102 ") + path});
        QVERIFY(!m_session->isOpen());
        QCOMPARE(m_host->reads, 0);
    }

    void openSplitsThePathAndRemembersIt() {
        const QString path = m_home->file(QStringLiteral("Lib/A.MDB"));
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("Lib")));
        modDataBase::CreateLibrary(path);
        QVERIFY(m_session->OpenSequenceMdbFile(path, QStringLiteral("Shift+F3")));
        QVERIFY(m_session->isOpen());
        QCOMPARE(m_mdbPath, m_home->file(QStringLiteral("Lib")));
        QCOMPARE(m_mdbFile, QStringLiteral("A.MDB"));
        QCOMPARE(m_funcKey, QStringLiteral("Shift+F3"));
        QCOMPARE(m_recent[0], path);
        QCOMPARE(m_host->reads, 1);
        QCOMPARE(m_session->DispFormCaption(QStringLiteral("Plus")),
                 QStringLiteral("【Plus】 A.MDB [Shift+F3] (%1) - VornReader").arg(m_mdbPath));

        // Opening it again closes it first (settings written, file compacted) and opens it anew.
        QVERIFY(m_session->OpenSequenceMdbFile(path, QString()));
        QCOMPARE(m_host->writes, QList<bool>{true});
        QCOMPARE(m_host->reads, 2);
        QCOMPARE(m_session->DispFormCaption(QString()), QStringLiteral("A.MDB (%1) - VornReader").arg(m_mdbPath));

        m_session->mnuFileMdbClose_Click();
        QVERIFY(!m_session->isOpen());
        QVERIFY(m_mdbPath.isEmpty() && m_mdbFile.isEmpty());
        QVERIFY(m_box->prompts.isEmpty());
    }

    void recentList_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("after");
        const QStringList five{"a", "b", "c", "d", "e"};
        QTest::newRow("known path moves up") << five << "c" << QStringList{"c", "a", "b", "d", "e"};
        QTest::newRow("new path pushes the last out") << five << "f" << QStringList{"f", "a", "b", "c", "d"};
        QTest::newRow("other letter case matches") << five << "D" << QStringList{"D", "a", "b", "c", "e"};
        QTest::newRow("short list grows") << QStringList{"a", "b"} << "x" << QStringList{"x", "a", "b"};
    }
    void recentList() {
        QFETCH(QStringList, before);
        QFETCH(QString, opened);
        for (qsizetype i = 0; i < before.size(); ++i) {
            m_recent[i] = before[i];
        }
        m_session->UpdateRecentFileMenu(opened);
        QStringList after;
        for (const RecentMenuItem& item : m_session->recentMenuItems()) {
            after.append(item.path);
        }
        QTEST(after, "after");
    }

    void recentCaptionsHaveAccessKeysUpToNine() {
        m_recentCnt = 35;
        for (int i = 0; i < 20; ++i) {
            m_recent[i] = QStringLiteral("/lib/%1.mdb").arg(i + 1);
        }
        const QList<RecentMenuItem> items = m_session->recentMenuItems();
        QCOMPARE(items.size(), 20);
        QCOMPARE(items[8].caption, QStringLiteral("&9 /lib/9.mdb"));
        QCOMPARE(items[9].caption, QStringLiteral("10 /lib/10.mdb"));
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
        QVERIFY(m_session->OpenSequenceMdbFile(open, QString()));
        const QString chosen = m_home->file(QStringLiteral("new.mdb"));
        if (exists) {
            QFile file(chosen);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        m_host->choice = chosen;
        m_host->overwrite = overwrite;
        m_session->mnuFileMdbNew_Click();
        QCOMPARE(m_host->messages, exists ? QStringList{QStringLiteral("40113 ") + chosen} : QStringList());
        QCOMPARE(m_mdbFile, created ? QStringLiteral("new.mdb") : QStringLiteral("open.mdb"));
        QVERIFY(m_session->isOpen());
        QCOMPARE(contents(chosen) == "keep me", !created);
    }

    void compaction_data() {
        QTest::addColumn<bool>("replaceFails");
        QTest::newRow("compacted") << false;
        QTest::newRow("replacing the file fails") << true;
    }
    // Compaction drops the space of deleted rows; when the compacted copy cannot replace the file,
    // the original stays as it was. Either way no temporary file is left.
    void compaction() {
        QFETCH(bool, replaceFails);
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        const QString path = db.path();
        db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                               "INSERT INTO tblCall (Sequence, Number, Call) SELECT i, 1, printf('%0500d', i) FROM n"));
        db.exec(QStringLiteral("DELETE FROM tblCall WHERE Sequence > 10"));
        db.close();
        const QByteArray original = contents(path);
        if (replaceFails) {
            QVERIFY(!LibrarySession::OptimizeDatabase(path, [](const QString&, const QString&) { return false; }));
            QCOMPARE(contents(path), original);
            QVERIFY(m_box->reported(QStringLiteral("modDataBase.OptimizeDatabase")));
        } else {
            QVERIFY(LibrarySession::OptimizeDatabase(path));
            QVERIFY(QFileInfo(path).size() < original.size() / 4);
            QVERIFY(m_box->prompts.isEmpty());
        }
        db.open(path);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 10);
        QVERIFY(QDir(m_home->file(QStringLiteral("Temp"))).isEmpty());
    }

    void libraryInUseIsSkippedSilently() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        Database other(db.path());
        other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        other.exec(QStringLiteral("INSERT INTO tblSequence (Title) VALUES ('pending')"));
        QVERIFY(!LibrarySession::OptimizeDatabase(db.path()));
        QVERIFY2(m_box->prompts.isEmpty(), qPrintable(m_box->prompts.join(QLatin1Char('\n'))));
        other.exec(QStringLiteral("COMMIT"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT Title FROM tblSequence")).toString(), QStringLiteral("pending"));
    }

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<FakeLibraryHost> m_host;
    std::unique_ptr<LibrarySession> m_session;
    QString m_mdbPath;
    QString m_mdbFile;
    QString m_funcKey;
    std::array<QString, 20> m_recent;
    qint16 m_recentCnt = 5;
};

QTEST_GUILESS_MAIN(TestLibrarySession)
#include "TestLibrarySession.moc"
