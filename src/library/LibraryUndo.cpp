#include "LibraryUndo.h"

#include "Database.h"
#include "DbError.h"
#include "Transaction.h"
#include "modSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sqlite3.h>

namespace {

const QString kAlias = QStringLiteral("vornundo");

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString joined(const QStringList& columns, const QString& prefix) {
    QStringList parts;
    for (const QString& column : columns) {
        parts.append(prefix + quoted(column));
    }
    return parts.join(QStringLiteral(", "));
}

// The rows of table number i that a change touched.
QString touchedRows(int i) {
    return QStringLiteral("rowid IN (SELECT RowKey FROM vornundo.UndoTouched WHERE Change = ?1 AND Tbl = %1)").arg(i);
}

} // namespace

LibraryUndo::LibraryUndo(Database& db) : m_db(db) {}

LibraryUndo::~LibraryUndo() {
    clear();
}

void LibraryUndo::currentChange(sqlite3_context* context, int, sqlite3_value**) {
    const auto* self = static_cast<const LibraryUndo*>(sqlite3_user_data(context));
    if (self->m_recording != 0) {
        sqlite3_result_int64(context, self->m_recording);
    } else {
        sqlite3_result_null(context);
    }
}

void LibraryUndo::prepare() {
    if (m_ready) {
        return;
    }
    const int rc = sqlite3_create_function_v2(m_db.handle(), "vornUndoChange", 0, SQLITE_UTF8, this, currentChange,
                                              nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        throw DbError(rc, QString::fromUtf8(sqlite3_errmsg(m_db.handle())));
    }
    // A temporary folder that is not there gives an empty path, which would put the file at the root.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("There is no folder for temporary files (TMPDIR)."));
    }
    auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/vornreader-undo-XXXXXX.db"));
    if (!file->open()) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("%1: %2").arg(file->fileTemplate(), file->errorString()));
    }
    m_db.attach(file->fileName(), kAlias);
    m_file = std::move(file);
    try {
        // The images are worth nothing after a crash: no journal file and no waiting for the disk.
        m_db.exec(QStringLiteral("PRAGMA vornundo.journal_mode = MEMORY"));
        m_db.exec(QStringLiteral("PRAGMA vornundo.synchronous = OFF"));
        m_db.exec(QStringLiteral("CREATE TABLE vornundo.UndoTouched (Change INTEGER NOT NULL, Tbl INTEGER NOT NULL, "
                                 "RowKey INTEGER NOT NULL, PRIMARY KEY (Change, Tbl, RowKey)) WITHOUT ROWID"));
        m_tables.clear();
        for (const char* name : {"tblSequence", "tblCall", "tblHistory"}) {
            Table table{QLatin1String(name), {}, false};
            int keys = 0;
            bool integerKey = false;
            Statement info =
                m_db.prepare(QStringLiteral("SELECT name, upper(type), pk FROM pragma_table_info(?, 'main')"));
            info.bind(1, table.name);
            while (info.step()) {
                table.columns.append(info.text(0));
                if (info.integer(2) > 0) {
                    ++keys;
                    integerKey = info.text(1) == QLatin1String("INTEGER");
                }
            }
            table.keyIsRowid = keys == 1 && integerKey;
            m_tables.append(table);
        }
        for (int i = 0; i < m_tables.size(); ++i) {
            const Table& table = m_tables[i];
            // Untyped columns keep every value exactly as it was stored.
            for (const QString& images : {QStringLiteral("UndoBefore"), QStringLiteral("UndoAfter")}) {
                const QString name = images + QString::number(i);
                m_db.exec(
                    QStringLiteral("CREATE TABLE vornundo.%1 (Change INTEGER NOT NULL, RowKey INTEGER NOT NULL, %2)")
                        .arg(name, joined(table.columns, QString())));
                m_db.exec(QStringLiteral("CREATE INDEX vornundo.%1Change ON %1 (Change)").arg(name));
            }
            const QString target = QStringLiteral("main.") + quoted(table.name);
            const QString when = QStringLiteral(" WHEN vornUndoChange() IS NOT NULL BEGIN ");
            const QString touch =
                QStringLiteral("INSERT OR IGNORE INTO UndoTouched VALUES (vornUndoChange(), %1, %2.rowid);");
            // The image of a row is taken at its first touch only; a row the change added has none.
            const QString keepOld =
                QStringLiteral("INSERT INTO UndoBefore%1 SELECT vornUndoChange(), old.rowid, %2 WHERE NOT EXISTS "
                               "(SELECT 1 FROM UndoTouched WHERE Change = vornUndoChange() AND Tbl = %1 AND "
                               "RowKey = old.rowid);")
                    .arg(i)
                    .arg(joined(table.columns, QStringLiteral("old.")));
            m_db.exec(QStringLiteral("CREATE TEMP TRIGGER UndoInsert%1 AFTER INSERT ON %2").arg(i).arg(target) + when +
                      touch.arg(i).arg(QStringLiteral("new")) + QStringLiteral(" END"));
            m_db.exec(QStringLiteral("CREATE TEMP TRIGGER UndoUpdate%1 BEFORE UPDATE ON %2").arg(i).arg(target) + when +
                      keepOld + touch.arg(i).arg(QStringLiteral("old")) + touch.arg(i).arg(QStringLiteral("new")) +
                      QStringLiteral(" END"));
            m_db.exec(QStringLiteral("CREATE TEMP TRIGGER UndoDelete%1 BEFORE DELETE ON %2").arg(i).arg(target) + when +
                      keepOld + touch.arg(i).arg(QStringLiteral("old")) + QStringLiteral(" END"));
        }
    } catch (const DbError&) {
        clear();
        throw;
    }
    m_ready = true;
}

void LibraryUndo::start() {
    prepare();
    m_recording = ++m_last;
}

qint64 LibraryUndo::finish() {
    const qint64 change = m_recording;
    m_recording = 0;
    if (change == 0 || !m_ready) {
        return 0;
    }
    Statement any = m_db.prepare(QStringLiteral("SELECT 1 FROM vornundo.UndoTouched WHERE Change = ? LIMIT 1"));
    any.bind(1, change);
    return any.step() ? change : 0;
}

void LibraryUndo::restore(qint64 change, const QString& images, bool keepAfter) {
    if (!m_ready || m_recording != 0) {
        return;
    }
    Transaction transaction(m_db);
    for (int i = 0; i < m_tables.size(); ++i) {
        const Table& table = m_tables[i];
        const QString target = QStringLiteral("main.") + quoted(table.name);
        const QString columns = joined(table.columns, QString());
        const auto run = [&](const QString& sql) {
            Statement statement = m_db.prepare(sql);
            statement.bind(1, change);
            statement.run();
        };
        if (keepAfter) {
            run(QStringLiteral("DELETE FROM vornundo.UndoAfter%1 WHERE Change = ?1").arg(i));
            run(QStringLiteral("INSERT INTO vornundo.UndoAfter%1 SELECT ?1, rowid, %2 FROM %3 WHERE ")
                    .arg(i)
                    .arg(columns, target) +
                touchedRows(i));
        }
        run(QStringLiteral("DELETE FROM %1 WHERE ").arg(target) + touchedRows(i));
        const QString rowid = table.keyIsRowid ? QString() : QStringLiteral(", rowid");
        const QString rowKey = table.keyIsRowid ? QString() : QStringLiteral(", RowKey");
        run(QStringLiteral("INSERT INTO %1 (%2%3) SELECT %2%4 FROM vornundo.%5%6 WHERE Change = ?1")
                .arg(target, columns, rowid, rowKey, images)
                .arg(i));
    }
    transaction.commit();
}

void LibraryUndo::undo(qint64 change) {
    restore(change, QStringLiteral("UndoBefore"), true);
}

void LibraryUndo::redo(qint64 change) {
    restore(change, QStringLiteral("UndoAfter"), false);
}

void LibraryUndo::forget(qint64 change) noexcept {
    if (!m_ready || !m_db.isOpen()) {
        return;
    }
    try {
        QStringList tables{QStringLiteral("UndoTouched")};
        for (int i = 0; i < m_tables.size(); ++i) {
            tables << QStringLiteral("UndoBefore%1").arg(i) << QStringLiteral("UndoAfter%1").arg(i);
        }
        for (const QString& table : tables) {
            Statement remove = m_db.prepare(QStringLiteral("DELETE FROM vornundo.%1 WHERE Change = ?").arg(table));
            remove.bind(1, change);
            remove.run();
        }
    } catch (const DbError&) {
        // What stays is dropped with the file when the library closes.
    }
}

LibraryUndo::Step::Step(LibraryUndo& undo, QString caption) : m_undo(undo), m_caption(std::move(caption)) {
    if (!m_undo.m_recorded || m_undo.isRecording() || m_undo.m_unavailable || m_undo.m_db.isReadOnly()) {
        return;
    }
    try {
        m_undo.start();
        m_outer = true;
    } catch (const DbError& error) {
        m_undo.m_unavailable = true;
        modSystem::WriteErrorLog(QStringLiteral("LibraryUndo.Step"), error.info());
    }
}

LibraryUndo::Step::~Step() {
    if (!m_outer) {
        return;
    }
    try {
        if (const qint64 change = m_undo.finish()) {
            m_undo.m_recorded(change, m_caption);
        }
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("LibraryUndo.Step"), error.info());
    }
}

void LibraryUndo::clear() noexcept {
    m_recording = 0;
    m_last = 0;
    if (m_file && m_db.isOpen()) {
        try {
            for (int i = 0; i < m_tables.size(); ++i) {
                for (const char* kind : {"Insert", "Update", "Delete"}) {
                    m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.Undo%1%2").arg(QLatin1String(kind)).arg(i));
                }
            }
            m_db.detach(kAlias);
        } catch (const DbError&) {
            // The connection lets the file go when it closes.
        }
    }
    m_file.reset();
    m_tables.clear();
    m_ready = false;
    m_unavailable = false;
}
