#include "LibraryFile.h"

#include "Database.h"
#include "DbError.h"
#include "modDataBase.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace LibraryFile {

QString absolutePath(const QString& path) {
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
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
        return {Status::Ok, {}, !info.isWritable() || !folder.isWritable(), modDataBase::IsCurrent(db)};
    } catch (const DbError& error) {
        // A journal left by a program that stopped in the middle of a write is rolled back by the
        // first connection that may write; the file itself is a library.
        if (error.code() == SQLITE_READONLY_ROLLBACK) {
            return {Status::Ok, {}, !info.isWritable(), true};
        }
        return {statusOf(error), error.message(), false};
    }
}

} // namespace LibraryFile
