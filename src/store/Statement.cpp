#include "Statement.h"

#include "DbError.h"

#include <QStringEncoder>
#include <cerrno>
#include <sqlite3.h>
#include <utility>

Statement::Statement(sqlite3* db, const QString& sql) : m_db(db) {
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                      &m_stmt, &tail);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    // Exactly one statement: text after it would otherwise be dropped without a word.
    if (m_stmt == nullptr || !QByteArrayView(tail, utf8.constData() + utf8.size() - tail).trimmed().isEmpty()) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DbError(SQLITE_MISUSE, QStringLiteral("Not exactly one statement: %1").arg(sql.left(200)));
    }
    m_texts.resize(static_cast<std::size_t>(sqlite3_bind_parameter_count(m_stmt)));
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_texts(std::move(other.m_texts)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_texts = std::move(other.m_texts);
    }
    return *this;
}

namespace {

// The files a connection writes: the library, and the library an export attaches as "target".
constexpr const char* kSchemas[] = {"main", "target"};

// SQLite reports an AUTOINCREMENT key that has reached its largest value as "database or disk is
// full"; the table whose counter is at the end tells the two apart.
int keysUsedUp(sqlite3* db) {
    for (const char* schema : kSchemas) {
        const QByteArray sql =
            QByteArray("SELECT name FROM ") + schema + ".sqlite_sequence WHERE seq >= 9223372036854775807";
        sqlite3_stmt* used = nullptr;
        int code = 0;
        // A schema that is not there (or has no counters) is skipped.
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &used, nullptr) == SQLITE_OK) {
            while (code == 0 && sqlite3_step(used) == SQLITE_ROW) {
                const QByteArray table(reinterpret_cast<const char*>(sqlite3_column_text(used, 0)));
                code = table == "tblSequence"  ? DbError::SequenceKeysUsedUp
                       : table == "tblHistory" ? DbError::HistoryKeysUsedUp
                                               : 0;
            }
        }
        sqlite3_finalize(used);
        if (code != 0) {
            return code;
        }
    }
    return 0;
}

// Whether the last failed system call on a file of the connection set errno to value.
bool lastErrnoIs(sqlite3* db, int value) {
    for (const char* schema : kSchemas) {
        int last = 0;
        if (sqlite3_file_control(db, schema, SQLITE_FCNTL_LAST_ERRNO, &last) == SQLITE_OK && last == value) {
            return true;
        }
    }
    return false;
}

} // namespace

DbError Statement::lastError(sqlite3* db, int rc) {
    int code = db ? sqlite3_extended_errcode(db) : rc;
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    // A write beyond the file-size limit fails with EFBIG, which SQLite reports as an I/O error; for
    // the user it is the same as a full disk.
    if (db && (code & 0xFF) == SQLITE_IOERR && lastErrnoIs(db, EFBIG)) {
        code = SQLITE_FULL;
    }
    if (db && (code & 0xFF) == SQLITE_FULL) {
        if (const int used = keysUsedUp(db); used != 0) {
            code = used;
            message = used == DbError::SequenceKeysUsedUp ? QStringLiteral("The largest sequence number is used up.")
                                                          : QStringLiteral("The largest history number is used up.");
        }
    }
    return DbError(code ? code : rc, message);
}

void Statement::fail(int rc) const {
    throw lastError(m_db, rc);
}

Statement& Statement::bind(int index, const QString& value) {
    // The text is converted here into the parameter's own buffer and bound without a copy: bound
    // as UTF-16, SQLite would copy it and convert it again to the file's UTF-8 on every run. A
    // parameter out of range or a statement still running goes the plain way so that SQLite
    // reports the error before any buffer it may still read is touched.
    if (index < 1 || static_cast<std::size_t>(index) > m_texts.size() || sqlite3_stmt_busy(m_stmt)) {
        const int rc = sqlite3_bind_text16(
            m_stmt, index, value.isNull() ? static_cast<const void*>(u"") : static_cast<const void*>(value.utf16()),
            static_cast<int>(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK) {
            fail(rc);
        }
        return *this;
    }
    QByteArray& buffer = m_texts[static_cast<std::size_t>(index - 1)];
    const qsizetype size = value.size();
    const char16_t* const text = reinterpret_cast<const char16_t*>(value.constData());
    char16_t bits = 0;
    for (qsizetype i = 0; i < size; ++i) {
        bits |= text[i];
    }
    if (bits < 0x80) {
        // Plain ASCII, the usual text, is its own UTF-8.
        buffer.resize(size);
        char* const out = buffer.data();
        for (qsizetype i = 0; i < size; ++i) {
            out[i] = static_cast<char>(text[i]);
        }
    } else {
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        buffer.resize(encoder.requiredSpace(size));
        const char* const end = encoder.appendToBuffer(buffer.data(), value);
        buffer.resize(end - buffer.constData());
    }
    // An empty buffer still has a valid address, so an empty or null text is bound as empty text.
    const int rc = sqlite3_bind_text64(m_stmt, index, buffer.constData(), static_cast<sqlite3_uint64>(buffer.size()),
                                       SQLITE_STATIC, SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, qint64 value) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, double value) {
    const int rc = sqlite3_bind_double(m_stmt, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, const QVariant& value) {
    if (value.isNull()) {
        return bindNull(index);
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return bind(index, value.toLongLong());
    case QMetaType::Double:
        return bind(index, value.toDouble());
    default:
        return bind(index, value.toString());
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_stmt);
    fail(rc);
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

QString Statement::text(int column) const {
    const auto* data = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, column));
    if (!data) {
        return {};
    }
    const int bytes = sqlite3_column_bytes16(m_stmt, column);
    return QString::fromUtf16(data, bytes / 2);
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return int64(column);
    case SQLITE_FLOAT:
        return real(column);
    default:
        return text(column);
    }
}
