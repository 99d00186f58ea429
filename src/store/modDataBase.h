#pragma once

#include <QString>
#include <functional>
#include <optional>

class Database;

// The library schema: creating it, bringing older files up to it, and single settings rows.
namespace modDataBase {

// The question asked once per file when the Author field is added to a library that already
// holds sequences. Nothing back means cancelled, which counts as an empty answer.
using AuthorQuestion = std::function<std::optional<QString>(const QString& prompt)>;

QString AuthorPrompt();

// Creates the four tables with their indexes in an empty database.
void CreateSchema(Database& db);

// Creates a new library file holding the empty schema; fails when the file exists.
void CreateLibrary(const QString& path);

// Opens the file, runs each upgrade step whose condition holds, and closes it. A failed step is
// logged and ends the upgrade; earlier steps stay. False when the upgrade failed or was refused
// (tables this version does not know): the file is then not to be used as a library.
bool AdminDataBase(const QString& path, const AuthorQuestion& askAuthor);

// Why an older library cannot be brought up to date (tables with fields this version does not
// know), or nothing when it can be or needs no upgrade. Reads only.
std::optional<QString> UpgradeRefusal(Database& db);

// True when the file has every field and table the upgrade adds, so that it can be read without
// being upgraded (a read-only library cannot be).
bool IsCurrent(Database& db);

// How many sequences, calls and history rows the library holds.
struct RecordCounts {
    qint64 sequences = 0;
    qint64 calls = 0;
    qint64 history = 0;
    bool operator==(const RecordCounts&) const = default;
};
RecordCounts CountRecords(Database& db);

// Exact-name checks, letter case included. schema names an attached database ("main" by default).
bool CheckExistTable(Database& db, const QString& name, const QString& schema = QStringLiteral("main"));
bool CheckExistField(Database& db, const QString& table, const QString& name,
                     const QString& schema = QStringLiteral("main"));

// One tblSetting row: its Data ("" when null), or def when the key is missing.
QString GetINIMdbString(Database& db, const QString& key, const QString& def,
                        const QString& schema = QStringLiteral("main"));
void WriteINIMdbString(Database& db, const QString& key, const QString& value,
                       const QString& schema = QStringLiteral("main"));

} // namespace modDataBase
