#include "modDataBase.h"

#include "Database.h"
#include "DbError.h"
#include "Transaction.h"
#include "modSystem.h"

#include <QRegularExpression>
#include <QStringList>
#include <sqlite3.h>

namespace {

const QString kProcAdmin = QStringLiteral("modDataBase.AdminDataBase");

struct Column {
    QString name;
    QString type;
    bool notNull = false;
    QVariant defaultValue;
    bool primaryKey = false;
};

QList<Column> columnsOf(Database& db, const QString& table) {
    Statement statement =
        db.prepare(QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?, 'main')"));
    statement.bind(1, table);
    QList<Column> columns;
    while (statement.step()) {
        columns.append({statement.text(0), statement.text(1), statement.int64(2) != 0, statement.value(3),
                        statement.int64(4) != 0});
    }
    return columns;
}

// The declared width of a text column ("TEXT(50)" gives 50); -1 for text without a width.
int declaredWidth(const QString& type) {
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const QRegularExpressionMatch match = width.match(type);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// SQLite cannot change a column's declared type in place: the table is rebuilt with the new
// type, its rows, indexes and auto-number counter carried over, in one transaction.
void widenTitle(Database& db) {
    Transaction transaction(db);
    const QList<Column> columns = columnsOf(db, QStringLiteral("tblSequence"));
    const QString createSql =
        db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'tblSequence'"))
            .toString();
    const bool autoIncrement = createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    QStringList indexSql;
    {
        Statement indexes = db.prepare(QStringLiteral(
            "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'tblSequence' AND sql IS NOT NULL"));
        while (indexes.step()) {
            indexSql.append(indexes.text(0));
        }
    }
    QStringList definitions;
    QStringList names;
    for (const Column& column : columns) {
        QString definition = quoted(column.name) + QLatin1Char(' ') +
                             (column.name == QLatin1String("Title") ? QStringLiteral("TEXT(255)") : column.type);
        if (column.primaryKey) {
            definition += autoIncrement ? QStringLiteral(" PRIMARY KEY AUTOINCREMENT") : QStringLiteral(" PRIMARY KEY");
        }
        if (column.notNull) {
            definition += QStringLiteral(" NOT NULL");
        }
        if (!column.defaultValue.isNull()) {
            definition += QStringLiteral(" DEFAULT ") + column.defaultValue.toString();
        }
        definitions.append(definition);
        names.append(quoted(column.name));
    }
    QVariant seq;
    const bool hasSequenceTable =
        !db.scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_sequence'"))
             .isNull();
    if (hasSequenceTable) {
        seq = db.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'tblSequence'"));
    }
    db.exec(QStringLiteral("CREATE TABLE tblSequence_widen (") + definitions.join(QStringLiteral(", ")) +
            QLatin1Char(')'));
    db.exec(QStringLiteral("INSERT INTO tblSequence_widen (") + names.join(QStringLiteral(", ")) +
            QStringLiteral(") SELECT ") + names.join(QStringLiteral(", ")) + QStringLiteral(" FROM tblSequence"));
    db.exec(QStringLiteral("DROP TABLE tblSequence"));
    db.exec(QStringLiteral("ALTER TABLE tblSequence_widen RENAME TO tblSequence"));
    for (const QString& sql : indexSql) {
        db.exec(sql);
    }
    if (!seq.isNull()) {
        Statement update = db.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = 'tblSequence'"));
        update.bind(1, seq.toLongLong());
        update.run();
    }
    transaction.commit();
}

void numberOrderPerLevel(Database& db) {
    Transaction transaction(db);
    db.exec(QStringLiteral("ALTER TABLE tblSequence ADD COLUMN OrderNo INTEGER DEFAULT 0"));
    QStringList levels;
    {
        Statement distinct = db.prepare(QStringLiteral("SELECT DISTINCT tblSequence.Level FROM tblSequence"));
        while (distinct.step()) {
            levels.append(distinct.text(0));
        }
    }
    Statement rows =
        db.prepare(QStringLiteral("SELECT Sequence FROM tblSequence WHERE Level = ? ORDER BY Date ASC, Time ASC"));
    Statement update = db.prepare(QStringLiteral("UPDATE tblSequence SET OrderNo = ? WHERE Sequence = ?"));
    for (const QString& level : levels) {
        rows.bind(1, level);
        QList<qint64> keys;
        while (rows.step()) {
            keys.append(rows.int64(0));
        }
        rows.reset();
        qint64 orderNo = 0;
        for (const qint64 key : keys) {
            update.bind(1, ++orderNo).bind(2, key);
            update.run();
        }
    }
    transaction.commit();
}

} // namespace

namespace modDataBase {

QString AuthorPrompt() {
    return QStringLiteral("コール著作者を入力してください。（英数字のみ）\r\n"
                          "（現在登録されているすべてのコールに\r\n"
                          "  この著作者が登録されます）");
}

void CreateSchema(Database& db) {
    Transaction transaction(db);
    db.exec(QStringLiteral(
        "CREATE TABLE tblSequence ("
        "Sequence INTEGER PRIMARY KEY AUTOINCREMENT, Level TEXT(255), Date TEXT(10), Time TEXT(20), "
        "Version TEXT(255), Title TEXT(255), Note TEXT, Property SMALLINT DEFAULT 0, OrderNo INTEGER DEFAULT 0, "
        "Author TEXT(50) DEFAULT '');"
        "CREATE INDEX SeekCall ON tblSequence (Date, Time, Level);"
        "CREATE TABLE tblCall ("
        "Sequence INTEGER NOT NULL, Number SMALLINT NOT NULL, Call TEXT, Figure TEXT, Note TEXT, HexInfo TEXT, "
        "PRIMARY KEY (Sequence, Number));"
        "CREATE TABLE tblHistory ("
        "History INTEGER PRIMARY KEY AUTOINCREMENT, Sequence INTEGER, CallDate DATE, PartyName TEXT(50) DEFAULT '');"
        "CREATE TABLE tblSetting (KeyName TEXT(50) PRIMARY KEY, Data TEXT(255));"));
    transaction.commit();
}

void CreateLibrary(const QString& path) {
    Database db(path, Database::Mode::Create);
    if (db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toLongLong() != 0) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("\"%1\" is not an empty file.").arg(path));
    }
    CreateSchema(db);
}

void AdminDataBase(const QString& path, const AuthorQuestion& askAuthor) {
    try {
        Database db(path);
        const QString sequence = QStringLiteral("tblSequence");

        for (const Column& column : columnsOf(db, sequence)) {
            if (column.name == QLatin1String("Title")) {
                const int width = declaredWidth(column.type);
                if (width >= 0 && width < 255) {
                    widenTitle(db);
                }
                break;
            }
        }

        if (!CheckExistField(db, sequence, QStringLiteral("OrderNo"))) {
            numberOrderPerLevel(db);
        }

        QString author;
        if (!CheckExistField(db, sequence, QStringLiteral("Author"))) {
            db.exec(QStringLiteral("ALTER TABLE tblSequence ADD COLUMN Author TEXT(50) DEFAULT ''"));
            if (db.scalar(QStringLiteral("SELECT count(*) FROM tblSequence")).toLongLong() > 0) {
                author = (askAuthor ? askAuthor(AuthorPrompt()) : std::nullopt).value_or(QString());
                Statement update = db.prepare(QStringLiteral("UPDATE tblSequence SET Author = ?"));
                update.bind(1, author);
                update.run();
            }
        }

        if (!CheckExistField(db, QStringLiteral("tblCall"), QStringLiteral("HexInfo"))) {
            db.exec(QStringLiteral("ALTER TABLE tblCall ADD COLUMN HexInfo TEXT"));
        }

        if (!CheckExistTable(db, QStringLiteral("tblSetting"))) {
            db.exec(QStringLiteral("CREATE TABLE tblSetting (KeyName TEXT(50) PRIMARY KEY, Data TEXT(255))"));
        }

        if (!author.isEmpty()) {
            WriteINIMdbString(db, QStringLiteral("Author"), author);
        }

        if (!CheckExistTable(db, QStringLiteral("tblHistory"))) {
            db.exec(QStringLiteral("CREATE TABLE tblHistory (History INTEGER PRIMARY KEY AUTOINCREMENT, "
                                   "Sequence INTEGER, CallDate DATE, PartyName TEXT(50) DEFAULT '')"));
        }
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(kProcAdmin, error.info());
    }
}

bool IsCurrent(Database& db) {
    const QString sequence = QStringLiteral("tblSequence");
    return CheckExistField(db, sequence, QStringLiteral("OrderNo")) &&
           CheckExistField(db, sequence, QStringLiteral("Author")) &&
           CheckExistField(db, QStringLiteral("tblCall"), QStringLiteral("HexInfo")) &&
           CheckExistTable(db, QStringLiteral("tblSetting")) && CheckExistTable(db, QStringLiteral("tblHistory"));
}

bool CheckExistTable(Database& db, const QString& name, const QString& schema) {
    try {
        Statement tables = db.prepare(QStringLiteral("SELECT name FROM ") + schema +
                                      QStringLiteral(".sqlite_master WHERE type = 'table'"));
        while (tables.step()) {
            if (tables.text(0) == name) {
                return true;
            }
        }
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modDataBase.CheckExistTable"), error.info());
    }
    return false;
}

bool CheckExistField(Database& db, const QString& table, const QString& name, const QString& schema) {
    try {
        Statement fields = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?, ?)"));
        fields.bind(1, table).bind(2, schema);
        while (fields.step()) {
            if (fields.text(0) == name) {
                return true;
            }
        }
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modDataBase.CheckExistField"), error.info());
    }
    return false;
}

QString GetINIMdbString(Database& db, const QString& key, const QString& def, const QString& schema) {
    try {
        Statement seek =
            db.prepare(QStringLiteral("SELECT Data FROM ") + schema + QStringLiteral(".tblSetting WHERE KeyName = ?"));
        seek.bind(1, key);
        if (seek.step()) {
            return seek.text(0);
        }
        return def;
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modDataBase.GetINIMdbString"), error.info());
    }
    return QString();
}

void WriteINIMdbString(Database& db, const QString& key, const QString& value, const QString& schema) {
    try {
        Statement write = db.prepare(QStringLiteral("INSERT INTO ") + schema +
                                     QStringLiteral(".tblSetting (KeyName, Data) VALUES (?, ?) "
                                                    "ON CONFLICT (KeyName) DO UPDATE SET Data = excluded.Data"));
        write.bind(1, key).bind(2, value);
        write.run();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modDataBase.WriteINIMdbString"), error.info());
    }
}

} // namespace modDataBase
