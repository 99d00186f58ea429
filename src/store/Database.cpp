#include "Database.h"

#include "CaseFold.h"
#include "DbError.h"

#include <QFileInfo>
#include <QVarLengthArray>
#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace {

// The function runs once per row of a search: ASCII text, the common case, is widened on the stack
// instead of being converted and copied on the heap.
using Utf16Buffer = QVarLengthArray<char16_t, 256>;

QStringView utf16Of(sqlite3_value* value, Utf16Buffer& buffer) {
    const auto* bytes = sqlite3_value_text(value);
    const int size = sqlite3_value_bytes(value);
    if (std::all_of(bytes, bytes + size, [](unsigned char c) { return c < 0x80; })) {
        buffer.resize(size);
        std::copy(bytes, bytes + size, buffer.begin());
        return QStringView(buffer.constData(), buffer.size());
    }
    const QString decoded = QString::fromUtf8(reinterpret_cast<const char*>(bytes), size);
    buffer.resize(decoded.size());
    std::copy(decoded.utf16(), decoded.utf16() + decoded.size(), buffer.begin());
    return QStringView(buffer.constData(), buffer.size());
}

// InStr(start, text, find, mode): 1-based position of find in text from start, 0 when absent.
// Mode 1 ignores letter case by full Unicode case folding; the position then counts characters of
// the original text.
void inStrFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const qint64 start = sqlite3_value_int64(argv[0]);
    Utf16Buffer textBuffer;
    const QStringView text = utf16Of(argv[1], textBuffer);
    Utf16Buffer findBuffer;
    const QStringView find = utf16Of(argv[2], findBuffer);
    const bool ignoreCase = argc > 3 && sqlite3_value_int(argv[3]) == 1;
    if (start < 1) {
        sqlite3_result_error(context, "InStr: start must be 1 or more", -1);
        return;
    }
    if (start > text.size() + 1) {
        sqlite3_result_int(context, 0);
        return;
    }
    if (find.isEmpty()) {
        sqlite3_result_int64(context, start);
        return;
    }
    const CaseFold::Match match = CaseFold::find(text, find, start - 1, ignoreCase ? CaseFold::Text : CaseFold::Binary);
    sqlite3_result_int64(context, match.found() ? match.position + 1 : 0);
}

} // namespace

Database::~Database() {
    close();
}

void Database::open(const QString& path, Mode mode) {
    close();
    if (mode == Mode::OpenExisting && !QFileInfo(path).isFile()) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("The file \"%1\" does not exist.").arg(path));
    }
    const int access = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                       : mode == Mode::Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                              : SQLITE_OPEN_READWRITE;
    const int flags = access | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        DbError error(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        throw error;
    }
    m_db = db;
    m_path = path;
    try {
        sqlite3_extended_result_codes(m_db, 1);
        // Views and triggers stored in a file may call none of the program's functions, and the
        // schema itself cannot be written as plain rows.
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        setBusyTimeout(kBusyTimeout);
        sqlite3_create_function_v2(m_db, "InStr", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, inStrFunction,
                                   nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(m_db, "InStr", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, inStrFunction,
                                   nullptr, nullptr, nullptr);
        // Reading the schema makes a file that is not a database fail here, not later.
        if (mode != Mode::ReadOnly) {
            exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        // Savepoint and statement journals live only inside a transaction (the rollback journal
        // on disk keeps commits atomic); in memory they cost no file writes per sequence read.
        exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (...) {
        close();
        throw;
    }
}

void Database::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_path.clear();
}

void Database::exec(const QString& sql) {
    if (!m_db) {
        throw DbError(SQLITE_MISUSE, QStringLiteral("No database is open."));
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &statement, &tail);
    if (rc != SQLITE_OK) {
        throw Statement::lastError(m_db, rc);
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> owner(statement, &sqlite3_finalize);
    const QByteArrayView rest(tail, utf8.constData() + utf8.size() - tail);
    if (statement == nullptr || !rest.trimmed().isEmpty()) {
        throw DbError(SQLITE_MISUSE, QStringLiteral("Not exactly one statement: %1").arg(sql.left(200)));
    }
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        throw Statement::lastError(m_db, rc);
    }
}

Statement Database::prepare(const QString& sql) {
    if (!m_db) {
        throw DbError(SQLITE_MISUSE, QStringLiteral("No database is open."));
    }
    return Statement(m_db, sql);
}

QVariant Database::scalar(const QString& sql) {
    Statement statement = prepare(sql);
    return statement.step() ? statement.value(0) : QVariant();
}

qint64 Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(m_db);
}

int Database::changes() const {
    return sqlite3_changes(m_db);
}

bool Database::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool Database::isReadOnly() const {
    if (!m_db) {
        return true;
    }
    if (sqlite3_db_readonly(m_db, "main") == 1) {
        return true;
    }
    const QFileInfo file(m_path);
    return !QFileInfo(file.absolutePath()).isWritable() || !file.isWritable();
}

void Database::setBusyTimeout(int milliseconds) {
    if (m_db) {
        sqlite3_busy_timeout(m_db, milliseconds);
    }
}

QString Database::quotedName(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void Database::attach(const QString& path, const QString& alias) {
    Statement statement = prepare(QStringLiteral("ATTACH DATABASE ? AS ") + quotedName(alias));
    statement.bind(1, path);
    statement.run();
}

void Database::detach(const QString& alias) {
    exec(QStringLiteral("DETACH DATABASE ") + quotedName(alias));
}
