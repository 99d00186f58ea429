#include "Database.h"
#include "DbError.h"
#include "TestHome.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <sqlite3.h>

class TestDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_db.open(m_home->file(QStringLiteral("t.mdb")), Database::Mode::Create);
        m_db.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, v TEXT)"));
    }
    void cleanup() {
        m_db.close();
        m_home.reset();
    }

    void quotesRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("single quote") << QStringLiteral("O'Neil's");
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
        QTest::newRow("both and a semicolon") << QStringLiteral("'); DROP TABLE t; --\"");
        QTest::newRow("Japanese") << QStringLiteral("コール「A」");
    }
    void quotesRoundTrip() {
        QFETCH(QString, value);
        Statement insert = m_db.prepare(QStringLiteral("INSERT INTO t (v) VALUES (?)"));
        insert.bind(1, value).run();
        const qint64 id = m_db.lastInsertRowId();
        Statement select = m_db.prepare(QStringLiteral("SELECT id FROM t WHERE v = ?"));
        select.bind(1, value);
        QVERIFY(select.step());
        QCOMPARE(select.int64(0), id);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT v FROM t")).toString(), value);
    }

    void transactionRollsBackUnlessCommitted() {
        {
            Transaction transaction(m_db);
            m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('dropped')"));
            QVERIFY(m_db.inTransaction());
        }
        QVERIFY(!m_db.inTransaction());
        {
            Transaction transaction(m_db);
            m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('kept')"));
            transaction.commit();
        }
        QCOMPARE(count(), 1);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT v FROM t")).toString(), QStringLiteral("kept"));
    }

    void savepointRollbackKeepsEarlierWork() {
        Transaction transaction(m_db);
        m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('outer')"));
        {
            Savepoint one(m_db, QStringLiteral("one"));
            m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('undone')"));
        }
        {
            Savepoint two(m_db, QStringLiteral("two"));
            m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('released')"));
            two.release();
        }
        QVERIFY(m_db.inTransaction());
        transaction.commit();
        QCOMPARE(count(), 2);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT group_concat(v, ',') FROM (SELECT v FROM t ORDER BY id)")),
                 QVariant(QStringLiteral("outer,released")));
    }

    void openFailures_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<int>("primaryCode");
        QTest::newRow("missing") << QByteArray() << SQLITE_CANTOPEN;
        QByteArray noise(8192, '\0');
        QRandomGenerator random(1234);
        for (char& c : noise) {
            c = static_cast<char>(random.bounded(256));
        }
        QTest::newRow("random bytes") << noise << SQLITE_NOTADB;
        QTest::newRow("text") << QByteArray("[Main]\r\nPath=x\r\n").repeated(200) << SQLITE_NOTADB;
    }
    void openFailures() {
        QFETCH(QByteArray, content);
        QFETCH(int, primaryCode);
        const QString path = m_home->file(QStringLiteral("x.mdb"));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Database db;
        try {
            db.open(path);
            QFAIL("open succeeded");
        } catch (const DbError& error) {
            QCOMPARE(error.primaryCode(), primaryCode);
        }
        QVERIFY(!db.isOpen());
        QCOMPARE(QFileInfo::exists(path), !content.isEmpty());
    }

    void inStr_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << 1 << QStringLiteral("Swing Thru") << QStringLiteral("Thru") << 0 << 7;
        QTest::newRow("exact, other case") << 1 << QStringLiteral("Swing Thru") << QStringLiteral("thru") << 0 << 0;
        QTest::newRow("case ignored") << 1 << QStringLiteral("Swing Thru") << QStringLiteral("tHRU") << 1 << 7;
        QTest::newRow("absent") << 1 << QStringLiteral("Swing Thru") << QStringLiteral("Star") << 1 << 0;
        QTest::newRow("start skips a match") << 2 << QStringLiteral("abcabc") << QStringLiteral("a") << 0 << 4;
        QTest::newRow("start on a match") << 4 << QStringLiteral("abcabc") << QStringLiteral("A") << 1 << 4;
        QTest::newRow("bb in abbb") << 1 << QStringLiteral("abbb") << QStringLiteral("bb") << 0 << 2;
        QTest::newRow("bb from 3") << 3 << QStringLiteral("abbb") << QStringLiteral("bb") << 0 << 3;
        QTest::newRow("bb from 4") << 4 << QStringLiteral("abbb") << QStringLiteral("bb") << 0 << 0;
        QTest::newRow("start past the end") << 9 << QStringLiteral("abc") << QStringLiteral("c") << 0 << 0;
        QTest::newRow("final sigma folded") << 1 << QStringLiteral("ΟΔΟΣ ΟΔΟΣ") << QStringLiteral("ος") << 1 << 3;
        QTest::newRow("sharp s folds to ss") << 1 << QStringLiteral("STRASSE") << QStringLiteral("straße") << 1 << 1;
        QTest::newRow("capital sharp s") << 1 << QStringLiteral("Die ẞ") << QStringLiteral("SS") << 1 << 5;
        QTest::newRow("position after sharp s") << 1 << QStringLiteral("Straße X") << QStringLiteral("x") << 1 << 8;
        QTest::newRow("ligature") << 1 << QStringLiteral("oﬃce") << QStringLiteral("FFI") << 1 << 2;
        QTest::newRow("after non-ASCII") << 1 << QStringLiteral("Äé Ring") << QStringLiteral("ring") << 1 << 4;
    }
    void inStr() {
        QFETCH(int, start);
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, mode);
        QFETCH(int, expected);
        Statement statement = m_db.prepare(QStringLiteral("SELECT InStr(?, ?, ?, ?)"));
        statement.bind(1, start).bind(2, text).bind(3, find).bind(4, mode);
        QVERIFY(statement.step());
        QCOMPARE(statement.int64(0), qint64(expected));
        if (mode == 0) {
            Statement three = m_db.prepare(QStringLiteral("SELECT InStr(?, ?, ?)"));
            three.bind(1, start).bind(2, text).bind(3, find);
            QVERIFY(three.step());
            QCOMPARE(three.int64(0), qint64(expected));
        }
    }

    void attachPathWithQuote() {
        const QString folder = m_home->file(QStringLiteral("Bob's \"libs\""));
        QVERIFY(QDir().mkpath(folder));
        const QString other = folder + QStringLiteral("/other.mdb");
        {
            Database db(other, Database::Mode::Create);
            db.exec(QStringLiteral("CREATE TABLE s (v TEXT); INSERT INTO s VALUES ('there')"));
        }
        m_db.attach(other, QStringLiteral("other"));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT v FROM other.s")).toString(), QStringLiteral("there"));
        m_db.detach(QStringLiteral("other"));
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.scalar(QStringLiteral("SELECT v FROM other.s")));
    }

    void rollbackJournal() {
        QCOMPARE(m_db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

private:
    int count() { return m_db.scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(); }

    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

QTEST_GUILESS_MAIN(TestDatabase)

#include "TestDatabase.moc"
