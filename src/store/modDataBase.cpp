#include "modDataBase.h"

#include "Database.h"
#include "DbError.h"
#include "Transaction.h"
#include "modSystem.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace {

const QString kProcAdmin = QStringLiteral("modDataBase.AdminDataBase");

// One column of the program's own schema: its name and its definition in a CREATE TABLE.
struct ColumnDef {
    const char* name;
    const char* definition;
    // Older libraries may lack it (the upgrade adds it, except Title).
    bool mayLack = false;
};

struct TableDef {
    const char* name;
    std::initializer_list<ColumnDef> columns;
};

// Every column the library tables have ever had. The upgrade builds each of its statements from
// these texts alone: nothing read from a library file is ever put into a statement.
const TableDef kSequence{"tblSequence",
                         {{"Sequence", "INTEGER PRIMARY KEY AUTOINCREMENT"},
                          {"Level", "TEXT(255)"},
                          {"Date", "TEXT(10)"},
                          {"Time", "TEXT(20)"},
                          {"Version", "TEXT(255)"},
                          {"Title", "TEXT(255)", true},
                          {"Note", "TEXT"},
                          {"Property", "SMALLINT DEFAULT 0"},
                          {"OrderNo", "INTEGER DEFAULT 0", true},
                          {"Author", "TEXT(50) DEFAULT ''", true}}};
const TableDef kCall{"tblCall",
                     {{"Sequence", "INTEGER NOT NULL"},
                      {"Number", "SMALLINT NOT NULL"},
                      {"Call", "TEXT"},
                      {"Figure", "TEXT"},
                      {"Note", "TEXT"},
                      {"HexInfo", "TEXT", true}}};
const TableDef kHistory{"tblHistory",
                        {{"History", "INTEGER PRIMARY KEY AUTOINCREMENT"},
                         {"Sequence", "INTEGER"},
                         {"CallDate", "DATE"},
                         {"PartyName", "TEXT(50) DEFAULT ''"}}};
const TableDef kSetting{"tblSetting", {{"KeyName", "TEXT(50) PRIMARY KEY"}, {"Data", "TEXT(255)"}}};
const char* const kCallKey = "PRIMARY KEY (Sequence, Number)";
const char* const kSeekCall = "CREATE INDEX SeekCall ON tblSequence (Date, Time, Level)";

// Indexes an older library may lack; the upgrade adds each one that is missing. The history of a
// sequence is found by its key, the sequences a party heard by party (and counted from the index
// alone).
struct IndexDef {
    const char* name;
    const char* statement;
};
const IndexDef kAddedIndexes[] = {
    {"HistorySequence", "CREATE INDEX HistorySequence ON tblHistory (Sequence, CallDate)"},
    {"HistoryParty", "CREATE INDEX HistoryParty ON tblHistory (PartyName, Sequence, CallDate)"}};

// A library whose tables the upgrade does not know: it is left exactly as it is.
struct NotUpgradable {
    QString reason;
};

// The CREATE TABLE statement of a table with the named columns (all of them when names is empty),
// in the program's column order.
QString createTable(const TableDef& table, const QString& name, const QStringList& names = {}) {
    QStringList parts;
    for (const ColumnDef& column : table.columns) {
        if (names.isEmpty() || names.contains(QLatin1String(column.name))) {
            parts.append(QLatin1String(column.name) + QLatin1Char(' ') + QLatin1String(column.definition));
        }
    }
    if (&table == &kCall) {
        parts.append(QLatin1String(kCallKey));
    }
    return QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (") + parts.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

// The table's column names and declared types, in the file's order.
QList<QPair<QString, QString>> columnsOf(Database& db, const QString& table) {
    Statement statement = db.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'main')"));
    statement.bind(1, table);
    QList<QPair<QString, QString>> columns;
    while (statement.step()) {
        columns.append({statement.text(0), statement.text(1)});
    }
    return columns;
}

// The columns of a table that must hold the program's columns and nothing else (names compared
// exactly), less those an older library may lack.
QStringList checkedColumns(Database& db, const TableDef& table) {
    QStringList names;
    for (const auto& column : columnsOf(db, QLatin1String(table.name))) {
        names.append(column.first);
    }
    for (const QString& name : std::as_const(names)) {
        const bool known = std::any_of(table.columns.begin(), table.columns.end(),
                                       [&](const ColumnDef& column) { return name == QLatin1String(column.name); });
        if (!known) {
            throw NotUpgradable{QStringLiteral("its table %1 has the unknown field \"%2\"").arg(table.name, name)};
        }
    }
    for (const ColumnDef& column : table.columns) {
        if (!column.mayLack && !names.contains(QLatin1String(column.name))) {
            throw NotUpgradable{QStringLiteral("its table %1 has no field %2").arg(table.name, column.name)};
        }
    }
    return names;
}

// Checks every library table of a file that needs an upgrade; the columns of tblSequence.
QStringList checkedTables(Database& db) {
    const QStringList sequenceColumns = checkedColumns(db, kSequence);
    checkedColumns(db, kCall);
    for (const TableDef* table : {&kHistory, &kSetting}) {
        if (modDataBase::CheckExistTable(db, QLatin1String(table->name))) {
            checkedColumns(db, *table);
        }
    }
    return sequenceColumns;
}

// The declared width of a text column ("TEXT(50)" gives 50); -1 for text without a width.
int declaredWidth(const QString& type) {
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const QRegularExpressionMatch match = width.match(type);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool hasIndex(Database& db, const char* name) {
    Statement find = db.prepare(QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE type = 'index' AND name = ?"));
    find.bind(1, QString::fromLatin1(name));
    return find.step();
}

void addMissingIndexes(Database& db) {
    for (const IndexDef& index : kAddedIndexes) {
        if (!hasIndex(db, index.name)) {
            db.exec(QLatin1String(index.statement));
        }
    }
}

bool titleTooNarrow(Database& db) {
    for (const auto& [name, type] : columnsOf(db, QStringLiteral("tblSequence"))) {
        if (name == QLatin1String("Title")) {
            const int width = declaredWidth(type);
            return width >= 0 && width < 255;
        }
    }
    return false;
}

// SQLite cannot change a column's declared type in place: the table is built anew from the
// program's own definition of the columns the file has, its rows, its SeekCall index and its
// auto-number counter carried over, in one transaction.
void widenTitle(Database& db, const QStringList& names) {
    Transaction transaction(db);
    QStringList columns;
    for (const ColumnDef& column : kSequence.columns) {
        if (names.contains(QLatin1String(column.name))) {
            columns.append(QLatin1String(column.name));
        }
    }
    const QString list = columns.join(QStringLiteral(", "));
    QVariant seq;
    if (modDataBase::CheckExistTable(db, QStringLiteral("sqlite_sequence"))) {
        seq = db.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'tblSequence'"));
    }
    db.exec(createTable(kSequence, QStringLiteral("tblSequence_widen"), names));
    db.exec(QStringLiteral("INSERT INTO tblSequence_widen (") + list + QStringLiteral(") SELECT ") + list +
            QStringLiteral(" FROM tblSequence"));
    db.exec(QStringLiteral("DROP TABLE tblSequence"));
    db.exec(QStringLiteral("ALTER TABLE tblSequence_widen RENAME TO tblSequence"));
    db.exec(QLatin1String(kSeekCall));
    if (!seq.isNull()) {
        // A table left without rows has no counter row of its own yet.
        db.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'tblSequence'"));
        Statement counter = db.prepare(QStringLiteral(
            "INSERT INTO sqlite_sequence (name, seq) SELECT 'tblSequence', max(?, coalesce(max(Sequence), 0)) "
            "FROM tblSequence"));
        counter.bind(1, seq.toLongLong());
        counter.run();
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
    db.exec(createTable(kSequence, QLatin1String(kSequence.name)));
    db.exec(QLatin1String(kSeekCall));
    for (const TableDef* table : {&kCall, &kHistory, &kSetting}) {
        db.exec(createTable(*table, QLatin1String(table->name)));
    }
    addMissingIndexes(db);
    transaction.commit();
}

void CreateLibrary(const QString& path) {
    Database db(path, Database::Mode::Create);
    if (db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toLongLong() != 0) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("\"%1\" is not an empty file.").arg(path));
    }
    CreateSchema(db);
}

bool AdminDataBase(const QString& path, const AuthorQuestion& askAuthor) {
    try {
        Database db(path);
        const QString sequence = QLatin1String(kSequence.name);
        const QString call = QLatin1String(kCall.name);
        const bool widen = titleTooNarrow(db);
        if (!widen && IsCurrent(db)) {
            addMissingIndexes(db);
            return true;
        }
        // Every table is checked before the first step changes anything.
        const QStringList sequenceColumns = checkedTables(db);

        if (widen) {
            widenTitle(db, sequenceColumns);
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

        if (!CheckExistField(db, call, QStringLiteral("HexInfo"))) {
            db.exec(QStringLiteral("ALTER TABLE tblCall ADD COLUMN HexInfo TEXT"));
        }

        if (!CheckExistTable(db, QLatin1String(kSetting.name))) {
            db.exec(createTable(kSetting, QLatin1String(kSetting.name)));
        }

        if (!author.isEmpty()) {
            WriteINIMdbString(db, QStringLiteral("Author"), author);
        }

        if (!CheckExistTable(db, QLatin1String(kHistory.name))) {
            db.exec(createTable(kHistory, QLatin1String(kHistory.name)));
        }
        addMissingIndexes(db);
        return true;
    } catch (const NotUpgradable& refusal) {
        modSystem::WriteErrorLog(
            kProcAdmin, {VornError::Unexpected, QStringLiteral("\"%1\" is not a library this version can upgrade: %2.")
                                                    .arg(QDir::toNativeSeparators(path), refusal.reason)});
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(kProcAdmin, error.info());
    }
    return false;
}

std::optional<QString> UpgradeRefusal(Database& db) {
    if (!titleTooNarrow(db) && IsCurrent(db)) {
        return std::nullopt;
    }
    try {
        checkedTables(db);
    } catch (const NotUpgradable& refusal) {
        return refusal.reason;
    }
    return std::nullopt;
}

RecordCounts CountRecords(Database& db) {
    const auto rows = [&db](const char* sql) { return db.scalar(QLatin1String(sql)).toLongLong(); };
    return {rows("SELECT COUNT(*) FROM tblSequence"), rows("SELECT COUNT(*) FROM tblCall"),
            rows("SELECT COUNT(*) FROM tblHistory")};
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
        Statement tables = db.prepare(QStringLiteral("SELECT name FROM ") + Database::quotedName(schema) +
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
        Statement seek = db.prepare(QStringLiteral("SELECT Data FROM ") + Database::quotedName(schema) +
                                    QStringLiteral(".tblSetting WHERE KeyName = ?"));
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
        Statement write = db.prepare(QStringLiteral("INSERT INTO ") + Database::quotedName(schema) +
                                     QStringLiteral(".tblSetting (KeyName, Data) VALUES (?, ?) "
                                                    "ON CONFLICT (KeyName) DO UPDATE SET Data = excluded.Data"));
        write.bind(1, key).bind(2, value);
        write.run();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modDataBase.WriteINIMdbString"), error.info());
    }
}

} // namespace modDataBase
