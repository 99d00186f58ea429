#include "Database.h"
#include "DbError.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QtTest>

namespace {

const QString kProc = QStringLiteral("modDataBase.AdminDataBase");

// What an older library lacks; the default is the current shape.
struct Shape {
    bool orderNo = true;
    bool author = true;
    bool hexInfo = true;
    bool setting = true;
    bool history = true;
    int titleWidth = 255;
    QString extraField; // one more tblSequence field definition
};

void createOldLibrary(const QString& path, const Shape& shape) {
    Database db(path, Database::Mode::Create);
    db.exec(QStringLiteral("CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY AUTOINCREMENT, Level TEXT(255), "
                           "Date TEXT(10), Time TEXT(20), Version TEXT(255), Title TEXT(%1), Note TEXT, "
                           "Property SMALLINT DEFAULT 0%2%3%4)")
                .arg(shape.titleWidth)
                .arg(shape.orderNo ? QStringLiteral(", OrderNo INTEGER DEFAULT 0") : QString())
                .arg(shape.author ? QStringLiteral(", Author TEXT(50) DEFAULT ''") : QString())
                .arg(shape.extraField.isEmpty() ? QString() : QStringLiteral(", ") + shape.extraField));
    db.exec(QStringLiteral("CREATE INDEX SeekCall ON tblSequence (Date, Time, Level)"));
    db.exec(QStringLiteral("CREATE TABLE tblCall (Sequence INTEGER NOT NULL, Number SMALLINT NOT NULL, Call TEXT, "
                           "Figure TEXT, Note TEXT%1, PRIMARY KEY (Sequence, Number))")
                .arg(shape.hexInfo ? QStringLiteral(", HexInfo TEXT") : QString()));
    if (shape.setting) {
        db.exec(QStringLiteral("CREATE TABLE tblSetting (KeyName TEXT(50) PRIMARY KEY, Data TEXT(255))"));
    }
    if (shape.history) {
        db.exec(QStringLiteral("CREATE TABLE tblHistory (History INTEGER PRIMARY KEY AUTOINCREMENT, "
                               "Sequence INTEGER, CallDate DATE, PartyName TEXT(50) DEFAULT '')"));
    }
}

qint64 addSequence(Database& db, const QString& level, const QString& date, const QString& time) {
    Statement insert =
        db.prepare(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES (?, ?, ?, ?)"));
    insert.bind(1, level).bind(2, date).bind(3, time).bind(4, date + QLatin1Char(' ') + time).run();
    return db.lastInsertRowId();
}

// The first column of every row, joined with commas.
QString texts(Database& db, const QString& sql, const QVariantList& values = {}) {
    Statement statement = db.prepare(sql);
    for (qsizetype i = 0; i < values.size(); ++i) {
        statement.bind(static_cast<int>(i + 1), values[i]);
    }
    QStringList texts;
    while (statement.step()) {
        texts.append(statement.text(0));
    }
    return texts.join(QLatin1Char(','));
}

QString fields(Database& db, const QString& table, bool sorted = false) {
    return texts(db, QStringLiteral("SELECT name FROM pragma_table_info(?)") + (sorted ? " ORDER BY name" : ""),
                 {table});
}

QString sortedFields(QStringList names) {
    names.sort();
    return names.join(QLatin1Char(','));
}

QString titleType(Database& db) {
    return texts(db, QStringLiteral("SELECT type FROM pragma_table_info('tblSequence') WHERE name = 'Title'"));
}

QString createSql(Database& db, const QString& name) {
    return texts(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?"), {name});
}

const QString kSeekCall = QStringLiteral("SELECT name FROM pragma_index_info('SeekCall')");
const QStringList kSequenceFields{"Sequence", "Level", "Date",     "Time",    "Version",
                                  "Title",    "Note",  "Property", "OrderNo", "Author"};
const QStringList kCallFields{"Sequence", "Number", "Call", "Figure", "Note", "HexInfo"};
const QStringList kHistoryFields{"History", "Sequence", "CallDate", "PartyName"};
const QStringList kSettingFields{"KeyName", "Data"};

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
        QTest::addColumn<bool>("orderNo");
        QTest::addColumn<bool>("author");
        QTest::addColumn<bool>("hexInfo");
        QTest::addColumn<bool>("setting");
        QTest::addColumn<bool>("history");
        QTest::addColumn<int>("titleWidth");
        QTest::newRow("current") << true << true << true << true << true << 255;
        QTest::newRow("no OrderNo") << false << true << true << true << true << 255;
        QTest::newRow("no Author") << true << false << true << true << true << 255;
        QTest::newRow("no HexInfo") << true << true << false << true << true << 255;
        QTest::newRow("no tblSetting") << true << true << true << false << true << 255;
        QTest::newRow("no tblHistory") << true << true << true << true << false << 255;
        QTest::newRow("Title TEXT(50)") << true << true << true << true << true << 50;
        QTest::newRow("oldest") << false << false << false << false << false << 50;
    }
    void upgradeSteps() {
        QFETCH(bool, orderNo);
        QFETCH(bool, author);
        QFETCH(bool, hexInfo);
        QFETCH(bool, setting);
        QFETCH(bool, history);
        QFETCH(int, titleWidth);
        createOldLibrary(m_path, {orderNo, author, hexInfo, setting, history, titleWidth, {}});
        QMap<QString, QString> before;
        {
            Database db(m_path);
            addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/01"), QStringLiteral("10:00:00"));
            for (const char* table : {"tblSequence", "tblCall", "tblSetting", "tblHistory"}) {
                before[table] = createSql(db, table);
            }
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));

        QVERIFY(m_box->prompts.isEmpty());
        QCOMPARE(m_prompts.size(), author ? 0 : 1);
        Database db(m_path);
        // Appended fields come last, so compare without order.
        QCOMPARE(fields(db, QStringLiteral("tblSequence"), true), sortedFields(kSequenceFields));
        QCOMPARE(fields(db, QStringLiteral("tblCall"), true), sortedFields(kCallFields));
        QCOMPARE(fields(db, QStringLiteral("tblSetting")), kSettingFields.join(QLatin1Char(',')));
        QCOMPARE(fields(db, QStringLiteral("tblHistory")), kHistoryFields.join(QLatin1Char(',')));
        QCOMPARE(titleType(db), QStringLiteral("TEXT(255)"));
        // A table whose steps did not apply is left exactly as it was.
        QCOMPARE(createSql(db, QStringLiteral("tblSequence")) == before["tblSequence"],
                 orderNo && author && titleWidth == 255);
        QCOMPARE(createSql(db, QStringLiteral("tblCall")) == before["tblCall"], hexInfo);
        QCOMPARE(createSql(db, QStringLiteral("tblSetting")) == before["tblSetting"], setting);
        QCOMPARE(createSql(db, QStringLiteral("tblHistory")) == before["tblHistory"], history);
        QCOMPARE(texts(db, QStringLiteral("SELECT Author FROM tblSequence")),
                 author ? QString() : QStringLiteral("Ann"));
    }

    void existingOrderNoIsKept() {
        createOldLibrary(m_path, {});
        {
            Database db(m_path);
            for (const int orderNo : {7, 3, 3}) {
                addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/0%1").arg(orderNo),
                            QStringLiteral("10:00:00"));
                texts(db, QStringLiteral("UPDATE tblSequence SET OrderNo = ? WHERE Sequence = ?"),
                      {orderNo, db.lastInsertRowId()});
            }
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));
        Database db(m_path);
        QCOMPARE(texts(db, QStringLiteral("SELECT OrderNo FROM tblSequence ORDER BY Sequence")),
                 QStringLiteral("7,3,3"));
    }

    void orderNoNumberedPerLevel() {
        Shape shape;
        shape.orderNo = false;
        createOldLibrary(m_path, shape);
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
        Shape shape;
        shape.author = false;
        createOldLibrary(m_path, shape);
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
        QVERIFY(modDataBase::CheckExistField(db, QStringLiteral("tblSequence"), QStringLiteral("Author")));
        QCOMPARE(texts(db, QStringLiteral("SELECT Author FROM tblSequence")),
                 QStringList(rows, cancelled ? QString() : answer).join(QLatin1Char(',')));
        const bool stored = rows > 0 && !answer.isEmpty();
        QCOMPARE(texts(db, QStringLiteral("SELECT count(*) FROM tblSetting")),
                 stored ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Author"), QStringLiteral("<none>")),
                 stored ? answer : QStringLiteral("<none>"));
    }

    void lowerCaseOrderNoDoesNotCount() {
        createOldLibrary(m_path, {.orderNo = false,
                                  .author = false,
                                  .setting = false,
                                  .history = false,
                                  .titleWidth = 50,
                                  .extraField = QStringLiteral("orderno INTEGER")});
        {
            Database db(m_path);
            addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/01/01"), QStringLiteral("10:00:00"));
            db.exec(QStringLiteral("UPDATE tblSequence SET orderno = 9"));
            QVERIFY(!modDataBase::CheckExistField(db, QStringLiteral("tblSequence"), QStringLiteral("OrderNo")));
            QVERIFY(modDataBase::CheckExistField(db, QStringLiteral("tblSequence"), QStringLiteral("orderno")));
            QVERIFY(!modDataBase::CheckExistTable(db, QStringLiteral("tblsequence")));
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));

        // SQLite names are not case-sensitive, so appending OrderNo fails and ends the upgrade.
        QCOMPARE(m_box->prompts.size(), 1);
        QVERIFY(m_box->reported(kProc));
        QVERIFY(m_box->prompts.first().contains(QStringLiteral("OrderNo")));
        QVERIFY(m_prompts.isEmpty());
        Database db(m_path);
        QCOMPARE(titleType(db), QStringLiteral("TEXT(255)"));
        QCOMPARE(texts(db, QStringLiteral("SELECT orderno FROM tblSequence")), QStringLiteral("9"));
        QVERIFY(!modDataBase::CheckExistField(db, QStringLiteral("tblSequence"), QStringLiteral("Author")));
        QVERIFY(!modDataBase::CheckExistTable(db, QStringLiteral("tblSetting")));
    }

    void titleWidened_data() {
        QTest::addColumn<int>("kept"); // rows left after the highest ones are deleted
        QTest::newRow("rows kept") << 2;
        QTest::newRow("all rows deleted") << 0;
    }
    void titleWidened() {
        QFETCH(int, kept);
        Shape shape;
        shape.titleWidth = 50;
        createOldLibrary(m_path, shape);
        const QString rowsSql = QStringLiteral(
            "SELECT Sequence || '|' || Level || '|' || Title || '|' || Property FROM tblSequence ORDER BY Sequence");
        QString before;
        {
            Database db(m_path);
            for (int i = 1; i <= 3; ++i) {
                addSequence(db, QStringLiteral("Level '%1'").arg(i), QStringLiteral("2024/01/0%1").arg(i),
                            QStringLiteral("10:00:00"));
            }
            texts(db, QStringLiteral("DELETE FROM tblSequence WHERE Sequence > ?"), {kept});
            before = texts(db, rowsSql);
        }
        modDataBase::AdminDataBase(m_path, asker(QStringLiteral("Ann")));

        QVERIFY(m_box->prompts.isEmpty());
        Database db(m_path);
        QCOMPARE(titleType(db), QStringLiteral("TEXT(255)"));
        QCOMPARE(texts(db, rowsSql), before);
        QCOMPARE(texts(db, kSeekCall), QStringLiteral("Date,Time,Level"));
        QVERIFY(!modDataBase::CheckExistTable(db, QStringLiteral("tblSequence_widen")));
        // The counter survives: number 3 was handed out once and is never handed out again.
        QCOMPARE(addSequence(db, QStringLiteral("Plus"), QStringLiteral("2024/02/01"), QStringLiteral("10:00:00")), 4);
    }

    void createSchema_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("tblSequence") << QStringLiteral("tblSequence") << kSequenceFields;
        QTest::newRow("tblCall") << QStringLiteral("tblCall") << kCallFields;
        QTest::newRow("tblHistory") << QStringLiteral("tblHistory") << kHistoryFields;
        QTest::newRow("tblSetting") << QStringLiteral("tblSetting") << kSettingFields;
    }
    void createSchema() {
        QFETCH(QString, table);
        QFETCH(QStringList, expected);
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        QVERIFY(modDataBase::CheckExistTable(db, table));
        QCOMPARE(fields(db, table), expected.join(QLatin1Char(',')));
        QCOMPARE(texts(db, kSeekCall), QStringLiteral("Date,Time,Level"));
        QCOMPARE(texts(db, QStringLiteral("SELECT name FROM pragma_table_info('tblCall') WHERE pk > 0 ORDER BY pk")),
                 QStringLiteral("Sequence,Number"));
        QVERIFY_THROWS_EXCEPTION(DbError, modDataBase::CreateLibrary(db.path()));
    }

    void mdbSettings() {
        Database db;
        Fixtures::createLibrary(db, m_home->path());
        const QString def = QStringLiteral("default");
        db.exec(QStringLiteral("INSERT INTO tblSetting (KeyName, Data) VALUES ('Empty', NULL)"));
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Empty"), def), QString());
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Missing"), def), def);
        modDataBase::WriteINIMdbString(db, QStringLiteral("Author"), QStringLiteral("first"));
        modDataBase::WriteINIMdbString(db, QStringLiteral("Author"), QStringLiteral("it's second"));
        QCOMPARE(texts(db, QStringLiteral("SELECT Data FROM tblSetting WHERE KeyName = 'Author'")),
                 QStringLiteral("it's second"));
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Author"), def), QStringLiteral("it's second"));
        QVERIFY(m_box->prompts.isEmpty());

        db.exec(QStringLiteral("DROP TABLE tblSetting"));
        QCOMPARE(modDataBase::GetINIMdbString(db, QStringLiteral("Author"), def), QString());
        QVERIFY(m_box->reported(QStringLiteral("modDataBase.GetINIMdbString")));
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
