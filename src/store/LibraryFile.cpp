#include "LibraryFile.h"

#include "Database.h"
#include "DbError.h"
#include "FilePath.h"
#include "modDataBase.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace LibraryFile {

QString absolutePath(const QString& path) {
    return FilePath::resolve(path);
}

void rollBack(const QString& path) {
    Database db(path);
}

bool holdsLibrary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(16) != QByteArray("SQLite format 3\0", 16)) {
        return false;
    }
    file.close();
    // Immutable: the look neither waits for nor disturbs a program that has the file open.
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    bool library = true;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK) {
        sqlite3_stmt* tables = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                               "('tblSequence', 'tblCall', 'tblHistory', 'tblSetting')",
                               -1, &tables, nullptr) == SQLITE_OK &&
            sqlite3_step(tables) == SQLITE_ROW) {
            library = sqlite3_column_int(tables, 0) > 0;
        }
        sqlite3_finalize(tables);
    }
    sqlite3_close(db);
    return library;
}

bool isWriteLocked(const QString& path) {
    try {
        Database db(path);
        db.setBusyTimeout(0);
        // A transaction that takes the write lock at once, and gives it back without writing.
        db.exec(QStringLiteral("BEGIN IMMEDIATE"));
        db.exec(QStringLiteral("ROLLBACK"));
        return false;
    } catch (const DbError& error) {
        return statusOf(error) == Status::InUse;
    }
}

QString damage(Database& db, const QString& schema) {
    Statement check = db.prepare(QStringLiteral("PRAGMA ") + schema + QStringLiteral(".quick_check(1)"));
    const QString result = check.step() ? check.text(0) : QString();
    if (result == QLatin1String("ok")) {
        return {};
    }
    // The first fault, without the line that names the schema.
    for (const QString& line : result.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1String("*** "))) {
            return line.trimmed();
        }
    }
    return result.trimmed();
}

Status statusOf(const DbError& error) {
    switch (error.primaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Status::InUse;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Status::NoPermission;
    default:
        return Status::NotLibrary;
    }
}

Check inspect(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        return {Status::Missing, {}, false};
    }
    if (!info.isReadable()) {
        return {Status::NoPermission, QStringLiteral("the file cannot be read"), false};
    }
    try {
        Database db(path, Database::Mode::ReadOnly);
        Statement tables = db.prepare(QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('tblSequence', 'tblCall')"));
        tables.step();
        if (tables.int64(0) != 2) {
            return {Status::NotLibrary, QStringLiteral("it holds no sequence tables"), false};
        }
        tables.reset();
        const QFileInfo folder(info.absolutePath());
        if (const std::optional<QString> reason = modDataBase::UpgradeRefusal(db)) {
            return {Status::NotUpgradable, *reason, false};
        }
        return {Status::Ok, {}, !info.isWritable() || !folder.isWritable(), modDataBase::IsCurrent(db)};
    } catch (const DbError& error) {
        // A journal left by a program that stopped in the middle of a write is rolled back by the
        // first connection that may write; the file itself is taken for a library until then.
        if (error.code() == SQLITE_READONLY_ROLLBACK) {
            const QFileInfo folder(info.absolutePath());
            return {Status::Ok, {}, !info.isWritable() || !folder.isWritable(), true, true};
        }
        return {statusOf(error), error.message(), false};
    }
}

} // namespace LibraryFile
