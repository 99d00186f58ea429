#include "Database.h"
#include "DbError.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

// The fields of each table of the current schema, in their order.
const QList<QPair<QString, QStringList>> kSchema{
    {"tblSequence", {"Sequence", "Level", "Date", "Time", "Version", "Title", "Note", "Property", "OrderNo", "Author"}},
    {"tblCall", {"Sequence", "Number", "Call", "Figure", "Note", "HexInfo"}},
    {"tblSetting", {"KeyName", "Data"}},
    {"tblHistory", {"History", "Sequence", "CallDate", "PartyName"}}};
const QString kSeekCall = QStringLiteral("SELECT name FROM pragma_index_info('SeekCall')");

// An older library: the current schema less the parts missing names (OrderNo, Author, HexInfo,
// tblSetting, tblHistory, and Title50 for a Title of 50 characters).
void createOldLibrary(const QString& path, const QString& missing) {
    const auto has = [&](const char* part) { return !missing.contains(QLatin1String(part)); };
    Database db(path, Database::Mode::Create);
    db.exec(QStringLiteral("CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY AUTOINCREMENT, Level TEXT(255), "
                           "Date TEXT(10), Time TEXT(20), Version TEXT(255), Title TEXT(%1), Note TEXT, "
                           "Property SMALLINT DEFAULT 0%2%3)")
                .arg(has("Title50") ? 255 : 50)
                .arg(has("OrderNo") ? QStringLiteral(", OrderNo INTEGER DEFAULT 0") : QString())
                .arg(has("Author") ? QStringLiteral(", Author TEXT(50) DEFAULT ''") : QString()));
    db.exec(QStringLiteral("CREATE INDEX SeekCall ON tblSequence (Date, Time, Level)"));
    db.exec(QStringLiteral("CREATE TABLE tblCall (Sequence INTEGER NOT NULL, Number SMALLINT NOT NULL, Call TEXT, "
                           "Figure TEXT, Note TEXT%1, PRIMARY KEY (Sequence, Number))")
                .arg(has("HexInfo") ? QStringLiteral(", HexInfo TEXT") : QString()));
    if (has("tblSetting")) {
        db.exec(QStringLiteral("CREATE TABLE tblSetting (KeyName TEXT(50) PRIMARY KEY, Data TEXT(255))"));
    }
    if (has("tblHistory")) {
        db.exec(QStringLiteral("CREATE TABLE tblHistory (History INTEGER PRIMARY KEY AUTOINCREMENT, "
                               "Sequence INTEGER, CallDate DATE, PartyName TEXT(50) DEFAULT '')"));
    }
}

qint64 addSequence(Database& db, const QString& level, const QString& date, const QString& time) {
    Fixtures::value(db, QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES (?, ?, ?, ?)"),
                    {level, date, time, date + QLatin1Char(' ') + time});
    return db.lastInsertRowId();
}

// The first column of every row, joined with commas.
QString texts(Database& db, const QString& sql, const QVariantList& values = {}) {
    return Fixtures::rows(db, sql, values).join(QLatin1Char(','));
}

QString fields(Database& db, const QString& table, bool sorted = false) {
    return texts(db, QStringLiteral("SELECT name FROM pragma_table_info(?)") + (sorted ? " ORDER BY name" : ""),
                 {table});
}

QString titleType(Database& db) {
    return texts(db, QStringLiteral("SELECT type FROM pragma_table_info('tblSequence') WHERE name = 'Title'"));
}

QString createSql(Database& db, const QString& name) {
    return texts(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?"), {name});
}

} // namespace

class TestAdminDataBase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        m_path = m_home->file(QStringLiteral("old.mdb"));
        m_prompts.clear();
    }
    void cleanup() {
        m_box.reset();
        m_home.reset();
    }

    void upgradeSteps_data() {
        QTest::addColumn<QString>("missing");
        QTest::newRow("current") << "";
        QTest::newRow("no OrderNo") << "OrderNo";
        QTest::newRow("no Author") << "Author";
        QTest::newRow("no HexInfo") << "HexInfo";
        QTest::newRow("no tblSetting") << "tblSetting";
        QTest::newRow("no tblHistory") << "tblHistory";
        QTest::newRow("Title TEXT(50)") << "Title50";
        QTest::newRow("Title TEXT(50), no rows left") << "Title50 empty";
        QTest::newRow("oldest") << "OrderNo Author HexInfo tblSetting tblHistory Title50";
    }
    void upgradeSteps() {
        QFETCH(QString, missing);
        const auto has = [&](const char* part) { return !missing.contains(QLatin1String(part)); };
        const bool empty = missing.contains(QLatin1String("empty"));
        createOldLibrary(m_path, missing);
        const QString rowsSql = QStringLiteral(
            "SELECT Sequence || '|' || Level || '|' || Title || '|' || Property FROM tblSequence ORDER BY Sequence");
        QMap<QString, QString> before;
        {
            Database db(m_path);
            addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/01"), QStringLiteral("10:00:00"));
            // Number 2 is handed out and deleted (the row "no rows left": every row): it is never handed
            // out again.
            addSequence(db, QStringLiteral("Level '2'"), QStringLiteral("2024/01/02"), QStringLiteral("10:00:00"));
            texts(db, QStringLiteral("DELETE FROM tblSequence WHERE Sequence = 2 OR ?"), {empty});
            before[QString()] = texts(db, rowsSql);
            if (has("OrderNo")) {
                db.exec(QStringLiteral("UPDATE tblSequence SET OrderNo = 7"));
            }
            for (const auto& [table, fieldNames] : kSchema) {
                before[table] = createSql(db, table);
            }
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));

        QVERIFY(m_box->prompts.isEmpty());
        QCOMPARE(m_prompts.size(), has("Author") ? 0 : 1);
        Database db(m_path);
        for (auto [table, fieldNames] : kSchema) {
            fieldNames.sort(); // appended fields come last, so compare without order
            QCOMPARE(fields(db, table, true), fieldNames.join(QLatin1Char(',')));
        }
        QCOMPARE(titleType(db), QStringLiteral("TEXT(255)"));
        // A table whose steps did not apply is left exactly as it was, and an OrderNo kept.
        QCOMPARE(createSql(db, QStringLiteral("tblSequence")) == before["tblSequence"],
                 has("OrderNo") && has("Author") && has("Title50"));
        QCOMPARE(createSql(db, QStringLiteral("tblCall")) == before["tblCall"], has("HexInfo"));
        QCOMPARE(createSql(db, QStringLiteral("tblSetting")) == before["tblSetting"], has("tblSetting"));
        QCOMPARE(createSql(db, QStringLiteral("tblHistory")) == before["tblHistory"], has("tblHistory"));
        QCOMPARE(texts(db, QStringLiteral("SELECT OrderNo || ' ' || Author FROM tblSequence")),
                 empty ? QString() : QString(has("OrderNo") ? "7 " : "1 ") + (has("Author") ? "" : "Ann"));
        QCOMPARE(texts(db, rowsSql), before[QString()]);
        QCOMPARE(texts(db, kSeekCall), QStringLiteral("Date,Time,Level"));
        QVERIFY(!modDataBase::CheckExistTable(db, QStringLiteral("tblSequence_widen")));
        QCOMPARE(addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/02/01"), QStringLiteral("10:00:00")), 3);
    }

    void orderNoNumberedPerLevel() {
        createOldLibrary(m_path, QStringLiteral("OrderNo"));
        // Level, date, time and the position expected within the level.
        const QList<QStringList> rows{
            {"C1", "2024/03/01", "09:00:00", "2"},   {"Plus", "2024/02/01", "10:00:00", "3"},
            {"Plus", "2023/12/31", "23:59:59", "1"}, {"A2", "2024/01/01", "00:00:01", "1"},
            {"Plus", "2024/02/01", "09:59:59", "2"}, {"C1", "2024/01/15", "12:00:00", "1"},
            {"Plus", "2024/02/02", "01:00:00", "4"}, {"C1", "2024/03/01", "09:00:01", "3"},
        };
        QStringList expected;
        {
            Database db(m_path);
            for (const QStringList& row : rows) {
                addSequence(db, row[0], row[1], row[2]);
                expected.append(row[3]);
            }
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));
        QVERIFY(m_box->prompts.isEmpty());
        Database db(m_path);
        QCOMPARE(texts(db, QStringLiteral("SELECT OrderNo FROM tblSequence ORDER BY Sequence")),
                 expected.join(QLatin1Char(',')));
    }

    void authorAdded_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QString>("answer");
        QTest::newRow("no rows") << 0 << false << QStringLiteral("Ann");
        QTest::newRow("answered") << 2 << false << QStringLiteral("Ann");
        QTest::newRow("cancelled") << 2 << true << QString();
        QTest::newRow("empty answer") << 2 << false << QString();
        QTest::newRow("quotes") << 2 << false << QStringLiteral("O'Neil \"Bo\"");
    }
    void authorAdded() {
        QFETCH(int, rows);
        QFETCH(bool, cancelled);
        QFETCH(QString, answer);
        createOldLibrary(m_path, QStringLiteral("Author"));
        {
            Database db(m_path);
            for (int i = 0; i < rows; ++i) {
                addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/01"),
                            QStringLiteral("10:00:0%1").arg(i));
            }
        }
        modDataBase::AdminDataBase(m_path, asker(cancelled ? std::nullopt : std::optional<QString>(answer)));

        QVERIFY(m_box->prompts.isEmpty());
        QCOMPARE(m_prompts, rows > 0 ? QStringList{modDataBase::AuthorPrompt()} : QStringList());
        Database db(m_path);
        QCOMPARE(texts(db, QStringLiteral("SELECT Author FROM tblSequence")),
                 QStringList(rows, cancelled ? QString() : answer).join(QLatin1Char(',')));
        // A non-empty answer is remembered as the library's author.
        const bool stored = rows > 0 && !answer.isEmpty();
        QCOMPARE(texts(db, QStringLiteral("SELECT count(*) FROM tblSetting")), QString::number(stored ? 1 : 0));
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Author"), QStringLiteral("<none>")),
                 stored ? answer : QStringLiteral("<none>"));
    }

    // A library file is data. An old library whose Level field declares a type made of statements
    // (against another library) is upgraded without running them; one whose fields the program does
    // not know is refused and left as it is. The other library never changes.
    void untrustedSchema_data() {
        QTest::addColumn<QString>("levelField");
        QTest::addColumn<QString>("extraField");
        QTest::addColumn<bool>("upgraded");
        const QString attack = QStringLiteral("\"TEXT); COMMIT; ATTACH DATABASE '%1' AS v; DELETE FROM v.tblCall; "
                                              "DELETE FROM v.tblSequence; --\"");
        QTest::newRow("statements as a type") << QStringLiteral("Level ") + attack << QString() << true;
        QTest::newRow("unknown field") << QStringLiteral("Level TEXT") << QStringLiteral(", Extra TEXT") << false;
        QTest::newRow("field in other case")
            << QStringLiteral("Level TEXT") << QStringLiteral(", orderno INTEGER") << false;
    }
    void untrustedSchema() {
        QFETCH(QString, levelField);
        QFETCH(QString, extraField);
        QFETCH(bool, upgraded);
        const QString victim = m_home->file(QStringLiteral("victim.mdb"));
        createOldLibrary(victim, QString());
        QStringList victimBefore;
        {
            Database db(victim);
            addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/01"), QStringLiteral("10:00:00"));
            Fixtures::value(db, QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (1, 1, 'roll')"));
            victimBefore = Fixtures::exactContent(db);
        }
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(m_path.toUtf8().constData(), &raw), SQLITE_OK);
        const QString sql =
            QStringLiteral("CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY AUTOINCREMENT, %1, Date TEXT(10), "
                           "Time TEXT(20), Version TEXT(255), Title TEXT(50), Note TEXT, Property SMALLINT%2);"
                           "CREATE TABLE tblCall (Sequence INTEGER NOT NULL, Number SMALLINT NOT NULL, Call TEXT, "
                           "Figure TEXT, Note TEXT, PRIMARY KEY (Sequence, Number));"
                           "INSERT INTO tblSequence (Level, Date, Time, Title) VALUES ('C1', '2024/02/02', '11:00:00', "
                           "'kept');"
                           "INSERT INTO tblCall (Sequence, Number, Call) VALUES (1, 1, 'swing thru');")
                .arg(levelField.arg(victim), extraField);
        QCOMPARE(sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
        const QString rowsSql = QStringLiteral("SELECT Sequence, Level, Date, Time, Title FROM tblSequence");
        QStringList before;
        QString schemaBefore;
        {
            Database db(m_path);
            before = Fixtures::rows(db, rowsSql);
            schemaBefore = texts(db, QStringLiteral("SELECT sql FROM sqlite_master ORDER BY name"));
        }

        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));

        {
            Database db(victim);
            QCOMPARE(Fixtures::exactContent(db), victimBefore);
        }
        Database db(m_path);
        QCOMPARE(Fixtures::rows(db, rowsSql), before);
        QCOMPARE(texts(db, QStringLiteral("SELECT Call FROM tblCall")), QStringLiteral("swing thru"));
        if (upgraded) {
            QVERIFY(m_box->prompts.isEmpty());
            QCOMPARE(titleType(db), QStringLiteral("TEXT(255)"));
            QVERIFY(modDataBase::IsCurrent(db));
        } else {
            QCOMPARE(m_box->prompts.size(), 1);
            QVERIFY(m_box->prompts.front().contains(QStringLiteral("is not a library this version can upgrade")));
            QCOMPARE(texts(db, QStringLiteral("SELECT sql FROM sqlite_master ORDER BY name")), schemaBefore);
        }
    }

    void newLibrarySchema() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        for (const auto& [table, fieldNames] : kSchema) {
            QCOMPARE(fields(db, table), fieldNames.join(QLatin1Char(',')));
        }
        QCOMPARE(texts(db, kSeekCall), QStringLiteral("Date,Time,Level"));
        QCOMPARE(texts(db, QStringLiteral("SELECT name FROM pragma_table_info('tblCall') WHERE pk > 0 ORDER BY pk")),
                 QStringLiteral("Sequence,Number"));
        QVERIFY_THROWS_EXCEPTION(DbError, modDataBase::CreateLibrary(db.path()));
    }

private:
    modDataBase::AuthorQuestion asker(std::optional<QString> answer) {
        return [this, answer](const QString& prompt) {
            m_prompts.append(prompt);
            return answer;
        };
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    QString m_path;
    QStringList m_prompts;
};

QTEST_GUILESS_MAIN(TestAdminDataBase)

#include "TestAdminDataBase.moc"
