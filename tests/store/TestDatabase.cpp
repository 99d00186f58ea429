#include "Database.h"
#include "DbError.h"
#include "TestHome.h"

#include <QDir>
#include <QtTest>

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

    void inStr_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* name, int start, const QString& text, const QString& find, int mode, int at) {
            QTest::newRow(name) << start << text << find << mode << at;
        };
        row("exact", 1, QStringLiteral("Swing Thru"), QStringLiteral("Thru"), 0, 7);
        row("case ignored", 1, QStringLiteral("Swing Thru"), QStringLiteral("tHRU"), 1, 7);
        row("start skips a match", 2, QStringLiteral("abcabc"), QStringLiteral("a"), 0, 4);
        row("overlapping match", 3, QStringLiteral("abbb"), QStringLiteral("bb"), 0, 3);
        row("start past the end", 9, QStringLiteral("abc"), QStringLiteral("c"), 0, 0);
        row("position after sharp s", 1, QStringLiteral("Straße X"), QStringLiteral("x"), 1, 8);
        row("characters, not bytes", 1, QStringLiteral("Äé Ring"), QStringLiteral("ring"), 1, 4);
    }
    void inStr() {
        QFETCH(int, start);
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, mode);
        QFETCH(int, expected);
        Statement statement = m_db.prepare(QStringLiteral("SELECT InStr(?, ?, ?, ?), InStr(?, ?, ?)"));
        statement.bind(1, start).bind(2, text).bind(3, find).bind(4, mode);
        statement.bind(5, start).bind(6, text).bind(7, find);
        QVERIFY(statement.step());
        QCOMPARE(statement.int64(0), qint64(expected));
        if (mode == 0) { // the mode defaults to exact comparison
            QCOMPARE(statement.int64(1), qint64(expected));
        }
    }

    // Text holding a second statement is refused whole, before any of it runs.
    void oneStatementOnly() {
        const QString second = QStringLiteral("; INSERT INTO t (v) VALUES ('second')");
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('first')") + second));
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.prepare(QStringLiteral("SELECT count(*) FROM t") + second));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT count(*) FROM t")).toInt(), 0);
    }

    // A view or trigger stored in a file cannot call the program's functions.
    void storedViewsCannotCallProgramFunctions() {
        m_db.exec(QStringLiteral("INSERT INTO t (v) VALUES ('abc')"));
        m_db.exec(QStringLiteral("CREATE VIEW found AS SELECT InStr(1, v, 'b', 0) FROM t"));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT InStr(1, v, 'b', 0) FROM t")).toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.scalar(QStringLiteral("SELECT * FROM found")));
    }

    void attachPathWithQuote() {
        const QString folder = m_home->file(QStringLiteral("Bob's \"libs\""));
        QVERIFY(QDir().mkpath(folder));
        const QString other = folder + QStringLiteral("/other.mdb");
        {
            Database created(other, Database::Mode::Create);
            created.exec(QStringLiteral("CREATE TABLE s (v TEXT)"));
            created.exec(QStringLiteral("INSERT INTO s VALUES ('there')"));
        }
        m_db.attach(other, QStringLiteral("other"));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT v FROM other.s")).toString(), QStringLiteral("there"));
        m_db.detach(QStringLiteral("other"));
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.scalar(QStringLiteral("SELECT v FROM other.s")));
    }

private:
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

QTEST_GUILESS_MAIN(TestDatabase)

#include "TestDatabase.moc"
