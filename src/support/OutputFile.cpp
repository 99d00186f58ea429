#include "OutputFile.h"

#include "AppHome.h"
#include "FilePath.h"

#include <QFile>
#include <QUrl>
#include <sqlite3.h>

namespace {

// An SQLite file with any of a library's tables. A database whose tables cannot be read (damaged,
// or in the middle of a write) is taken for a library: it may well be one.
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

} // namespace

OutputFile::OutputFile(const QString& path) : m_path(path), m_target(FilePath::resolve(path)), m_file(m_target) {}

OutputFile::Refusal OutputFile::check(const QString& path) {
    const QString target = FilePath::resolve(path);
    if (FilePath::sameFile(target, AppHome::resolve(QString::fromUtf16(AppHome::TemplateName)))) {
        return Refusal::Template;
    }
    return holdsLibrary(target) ? Refusal::Library : Refusal::None;
}

bool OutputFile::open() {
    m_refusal = check(m_target);
    return m_refusal == Refusal::None && m_file.open(QIODevice::WriteOnly);
}

QString OutputFile::pendingName() const {
    return QStringLiteral("/proc/self/fd/%1").arg(m_file.handle());
}

bool OutputFile::commit() {
    // The target may have become a library while the content was written.
    m_refusal = check(m_target);
    if (m_refusal != Refusal::None) {
        m_file.cancelWriting();
        return false;
    }
    return m_file.commit();
}

int OutputFile::refusalKey() const {
    switch (m_refusal) {
    case Refusal::Library:
        return 40161;
    case Refusal::Template:
        return 40162;
    case Refusal::None:
        break;
    }
    return 0;
}
