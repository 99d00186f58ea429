#include "Database.h"
#include "DbError.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QtTest>

namespace {

// The fields of each table of the current schema, in their order.
const QList<QPair<QString, QStringList>> kSchema{
    {"tblSequence", {"Sequence", "Level", "Date", "Time", "Version", "Title", "Note", "Property", "OrderNo", "Author"}},
    {"tblCall", {"Sequence", "Number", "Call", "Figure", "Note", "HexInfo"}},
    {"tblSetting", {"KeyName", "Data"}},
    {"tblHistory", {"History", "Sequence", "CallDate", "PartyName"}}};
const QString kIndexes = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                                        "ORDER BY name");
const QString kSeekCall = QStringLiteral("SELECT name FROM pragma_index_info('SeekCall')");
const QString kTitleType = QStringLiteral("SELECT type FROM pragma_table_info('tblSequence') WHERE name = 'Title'");

// An older library: the current schema less the parts missing names (OrderNo, Author, HexInfo,
// tblSetting, tblHistory, and Title50 for a Title of 50 characters), with level as its Level field.
void createOldLibrary(const QString& path, const QString& missing, const QString& level = "Level TEXT(255)") {
    const auto has = [&](const char* part) { return !missing.contains(QLatin1String(part)); };
    Database db(path, Database::Mode::Create);
    db.exec(
        QStringLiteral("CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY AUTOINCREMENT, %1, Date TEXT(10), "
                       "Time TEXT(20), Version TEXT(255), Title TEXT(%2), Note TEXT, Property SMALLINT DEFAULT 0%3%4)")
            .arg(level)
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

// Adds a sequence from "level date time" with one call; returns its key.
qint64 addSequence(Database& db, const QString& fields) {
    const QStringList f = fields.split(QLatin1Char(' '));
    Fixtures::value(db, QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES (?, ?, ?, ?)"),
                    {f[0], f[1], f[2], f[1] + QLatin1Char(' ') + f[2]});
    const qint64 key = db.lastInsertRowId();
    Fixtures::value(db, QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (?, 1, 'roll')"), {key});
    return key;
}

// The first column of every row, joined with commas.
QString texts(Database& db, const QString& sql, const QVariantList& values = {}) {
    return Fixtures::rows(db, sql, values).join(QLatin1Char(','));
}

QString fields(Database& db, const QString& table) {
    return texts(db, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY name"), {table});
}

} // namespace

class TestAdminDataBase : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    std::optional<RecordingErrorBox> m_box;
    QString m_path;
    QStringList m_prompts;

    void upgrade(std::optional<QString> answer = QStringLiteral("Ann")) {
        modDataBase::AdminDataBase(m_path, [this, answer](const QString& prompt) {
            m_prompts.append(prompt);
            return answer;
        });
    }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_box.emplace();
        m_path = m_home->file(QStringLiteral("old.mdb"));
        m_prompts.clear();
    }
    void cleanup() {
        m_box.reset();
        m_home.reset();
    }

    // Each step of the upgrade alone and all together: the current schema and indexes, the rows
    // and sequence numbers kept, and a table whose steps did not apply left exactly as it was.
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
            addSequence(db, QStringLiteral("Plus 2024/01/01 10:00:00"));
            // Number 2 is handed out and deleted (the row "no rows left": every row): it is never
            // handed out again.
            addSequence(db, QStringLiteral("Level'2 2024/01/02 10:00:00"));
            texts(db, QStringLiteral("DELETE FROM tblSequence WHERE Sequence = 2 OR ?"), {empty});
            before[QString()] = texts(db, rowsSql);
            if (has("OrderNo")) {
                db.exec(QStringLiteral("UPDATE tblSequence SET OrderNo = 7"));
            }
            for (const auto& [table, fieldNames] : kSchema) {
                before[table] = texts(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?"), {table});
            }
        }
        upgrade();
        QVERIFY(m_box->prompts.isEmpty());
        QCOMPARE(m_prompts.size(), has("Author") ? 0 : 1);
        Database db(m_path);
        const QMap<QString, bool> kept{{"tblSequence", has("OrderNo") && has("Author") && has("Title50")},
                                       {"tblCall", has("HexInfo")},
                                       {"tblSetting", has("tblSetting")},
                                       {"tblHistory", has("tblHistory")}};
        for (auto [table, fieldNames] : kSchema) {
            fieldNames.sort(); // appended fields come last, so compare without order
            QCOMPARE(fields(db, table), fieldNames.join(QLatin1Char(',')));
            QCOMPARE(texts(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?"), {table}) ==
                         before[table],
                     kept[table]);
        }
        QCOMPARE(texts(db, kTitleType) + '/' + texts(db, kSeekCall) + '/' + texts(db, kIndexes),
                 QStringLiteral("TEXT(255)/Date,Time,Level/HistoryParty,HistorySequence,SeekCall"));
        QCOMPARE(texts(db, QStringLiteral("SELECT OrderNo || ' ' || Author FROM tblSequence")),
                 empty ? QString() : QString(has("OrderNo") ? "7 " : "1 ") + (has("Author") ? "" : "Ann"));
        QCOMPARE(texts(db, rowsSql), before[QString()]);
        QVERIFY(!modDataBase::CheckExistTable(db, QStringLiteral("tblSequence_widen")));
        QCOMPARE(addSequence(db, QStringLiteral("Plus 2024/02/01 10:00:00")), 3);
    }

    // Each level numbered by date and time.
    void orderNoNumberedPerLevel() {
        createOldLibrary(m_path, QStringLiteral("OrderNo"));
        {
            Database db(m_path);
            for (const char* row : {"C1 2024/03/01 09:00:00", "Plus 2024/02/01 10:00:00", "Plus 2023/12/31 23:59:59",
                                    "A2 2024/01/01 00:00:01", "Plus 2024/02/01 09:59:59", "C1 2024/01/15 12:00:00",
                                    "Plus 2024/02/02 01:00:00", "C1 2024/03/01 09:00:01"}) {
                addSequence(db, QString::fromLatin1(row));
            }
        }
        upgrade();
        QVERIFY(m_box->prompts.isEmpty());
        Database db(m_path);
        QCOMPARE(texts(db, QStringLiteral("SELECT OrderNo FROM tblSequence ORDER BY Sequence")), "2,3,1,1,2,1,4,3");
    }

    // The author is asked only when there are sequences to give it to; a non-empty answer is
    // remembered as the library's author.
    void authorAdded_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QString>("answer");
        QTest::newRow("no rows") << 0 << false << QStringLiteral("Ann");
        QTest::newRow("answered") << 2 << false << QStringLiteral("Ann");
        QTest::newRow("cancelled") << 2 << true << QString();
        QTest::newRow("empty answer") << 2 << false << QString();
    }
    void authorAdded() {
        QFETCH(int, rows);
        QFETCH(bool, cancelled);
        QFETCH(QString, answer);
        createOldLibrary(m_path, QStringLiteral("Author"));
        {
            Database db(m_path);
            for (int i = 0; i < rows; ++i) {
                addSequence(db, QStringLiteral("Plus 2024/01/01 10:00:0%1").arg(i));
            }
        }
        upgrade(cancelled ? std::nullopt : std::optional<QString>(answer));
        QVERIFY(m_box->prompts.isEmpty());
        QCOMPARE(m_prompts, rows > 0 ? QStringList{modDataBase::AuthorPrompt()} : QStringList());
        Database db(m_path);
        QCOMPARE(texts(db, QStringLiteral("SELECT Author FROM tblSequence")),
                 QStringList(rows, cancelled ? QString() : answer).join(QLatin1Char(',')));
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
        QTest::addColumn<bool>("upgraded");
        QTest::newRow("statements as a type")
            << QStringLiteral("Level \"TEXT); COMMIT; ATTACH DATABASE '%1' AS v; DELETE FROM v.tblCall; DELETE FROM "
                              "v.tblSequence; --\"")
            << true;
        QTest::newRow("unknown field") << QStringLiteral("Level TEXT, Extra TEXT") << false;
        QTest::newRow("field in other case") << QStringLiteral("Level TEXT, orderno INTEGER") << false;
    }
    void untrustedSchema() {
        QFETCH(QString, levelField);
        QFETCH(bool, upgraded);
        const QString victim = m_home->file(QStringLiteral("victim.mdb"));
        createOldLibrary(victim, QString());
        createOldLibrary(m_path, QStringLiteral("OrderNo Author HexInfo tblSetting tblHistory Title50"),
                         levelField.arg(victim));
        QString schema;
        for (const QString& path : {victim, m_path}) {
            Database db(path);
            addSequence(db, QStringLiteral("C1 2024/02/02 11:00:00"));
            schema = texts(db, QStringLiteral("SELECT sql FROM sqlite_master"));
        }
        const QStringList victimRows = Fixtures::tables(victim);
        upgrade();
        QCOMPARE(Fixtures::tables(victim), victimRows);
        Database db(m_path);
        QCOMPARE(Fixtures::rows(db, QStringLiteral("SELECT Sequence, Level, Date, Time, Title, Call FROM tblSequence "
                                                   "JOIN tblCall USING (Sequence)")),
                 QStringList{"1|C1|2024/02/02|11:00:00|2024/02/02 11:00:00|roll"});
        QCOMPARE(modDataBase::IsCurrent(db), upgraded);
        QCOMPARE(m_box->prompts.size(), upgraded ? 0 : 1);
        if (upgraded) {
            QCOMPARE(texts(db, kTitleType), QStringLiteral("TEXT(255)"));
        } else {
            QVERIFY(m_box->prompts.front().contains(QStringLiteral("is not a library this version can upgrade")));
            QCOMPARE(texts(db, QStringLiteral("SELECT sql FROM sqlite_master")), schema);
        }
    }

    // A new library is never made over a file.
    void newLibraryNotOverAFile() {
        QVERIFY(Fixtures::writeFile(m_path, "keep"));
        QVERIFY_THROWS_EXCEPTION(DbError, modDataBase::CreateLibrary(m_path));
        QCOMPARE(Fixtures::readFile(m_path), QByteArray("keep"));
    }
};

QTEST_GUILESS_MAIN(TestAdminDataBase)

#include "TestAdminDataBase.moc"
