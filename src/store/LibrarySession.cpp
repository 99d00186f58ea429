#include "LibrarySession.h"

#include "AppHome.h"
#include "DbError.h"
#include "FilePath.h"
#include "ILibraryHost.h"
#include "LibraryFile.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

const QString kTemplateName = QString::fromUtf16(AppHome::TemplateName);

void logError(const char* procedure, const ErrorInfo& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error);
}

// Sets a connection setting for the life of the scope.
class PragmaScope {
public:
    PragmaScope(Database& db, const QString& name, const QString& value, const QString& restore)
        : m_db(db), m_restore(QStringLiteral("PRAGMA ") + name + QStringLiteral(" = ") + restore) {
        m_db.exec(QStringLiteral("PRAGMA ") + name + QStringLiteral(" = ") + value);
    }
    ~PragmaScope() {
        try {
            m_db.exec(m_restore);
        } catch (const DbError&) {
            // The connection is closed right after the compaction; a setting it keeps costs nothing.
        }
    }
    PragmaScope(const PragmaScope&) = delete;
    PragmaScope& operator=(const PragmaScope&) = delete;

private:
    Database& m_db;
    QString m_restore;
};

} // namespace

LibrarySession::LibrarySession(LibraryState state, ILibraryHost& host) : m_state(state), m_host(host) {}

LibrarySession::~LibrarySession() = default;

QString LibrarySession::TemplatePath() {
    return AppHome::resolve(kTemplateName);
}

int LibrarySession::recentCount() const {
    return std::clamp<int>(m_state.RecentFileCnt, 0, static_cast<int>(m_state.RecentFile.size()));
}

bool LibrarySession::refuse(const QString& path, const LibraryFile::Check& check) {
    switch (check.status) {
    case LibraryFile::Status::Ok:
        return false;
    case LibraryFile::Status::Missing:
        m_host.showMessage(40101, {path});
        break;
    case LibraryFile::Status::NotLibrary:
        m_host.showMessage(40104, {path, check.detail});
        break;
    case LibraryFile::Status::InUse:
        m_host.showMessage(40105, {path});
        break;
    case LibraryFile::Status::NoPermission:
        m_host.showMessage(40106, {path, check.detail});
        break;
    case LibraryFile::Status::NotUpgradable:
        m_host.showMessage(40109, {path, check.detail});
        break;
    }
    return true;
}

bool LibrarySession::OpenSequenceMdbFile(const QString& givenPath, Access access) {
    // Every path the program keeps is absolute: a bare name is the file in the current folder.
    const QString path = LibraryFile::absolutePath(givenPath);
    // The file is looked at before the open library is closed, so that choosing a wrong file
    // leaves the caller with the library they had; a refused file is not remembered anywhere.
    if (!QFileInfo(path).isFile()) {
        m_host.showMessage(40101, {path});
        return false;
    }
    // Any name of the template counts, a link or a second hard link as well.
    if (FilePath::sameFile(path, TemplatePath())) {
        m_host.showMessage(40102, {path});
        return false;
    }
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.mid(dot + 1).compare(QLatin1String("mdb"), Qt::CaseInsensitive) != 0) {
        m_host.showMessage(40103, {});
        return false;
    }
    LibraryFile::Check check = LibraryFile::inspect(path);
    if (check.status == LibraryFile::Status::Ok && check.halfWritten) {
        // What the stopped program left is rolled back before anything is read; a library that
        // cannot be written cannot have it rolled back.
        if (check.readOnly) {
            m_host.showMessage(40167, {path});
            return false;
        }
        try {
            LibraryFile::rollBack(path);
        } catch (const DbError& error) {
            logError("frmVornReader.OpenSequenceMdbFile", error.info());
            return false;
        }
        check = LibraryFile::inspect(path);
    }
    if (refuse(path, check)) {
        // A start-up that found something else under the remembered name forgets it.
        if (check.status == LibraryFile::Status::NotLibrary &&
            path == LibraryFile::absolutePath(m_state.MdbPath + QLatin1Char('/') + m_state.MdbFile)) {
            m_state.MdbPath.clear();
            m_state.MdbFile.clear();
        }
        return false;
    }
    const bool readOnly = check.readOnly || access == Access::ReadOnly;
    // An older library is brought up to date when it is opened; one that cannot be written
    // cannot be, and is not read with missing fields.
    if (readOnly && !check.current) {
        m_host.showMessage(40108, {path});
        return false;
    }
    if (m_open) {
        CloseSequenceMdbFile();
    }
    // A file whose upgrade failed or was refused has been reported; it is neither opened nor
    // remembered.
    if (!readOnly &&
        !modDataBase::AdminDataBase(path, [this](const QString& prompt) { return m_host.askAuthor(prompt); })) {
        return false;
    }
    const QFileInfo info(path);
    m_state.MdbPath = info.absolutePath();
    m_state.MdbFile = info.fileName();
    addRecentFile(path);
    try {
        m_db.open(path, readOnly ? Database::Mode::ReadOnly : Database::Mode::OpenExisting);
        m_readOnly = readOnly || m_db.isReadOnly();
        m_open = true;
        m_host.readLibrarySettings(m_db);
        m_host.libraryOpened();
        return true;
    } catch (const DbError& error) {
        m_db.close();
        m_open = false;
        if (LibraryFile::statusOf(error) == LibraryFile::Status::InUse) {
            m_host.showMessage(40105, {path});
        } else {
            logError("frmVornReader.OpenSequenceMdbFile", error.info());
        }
        return false;
    }
}

void LibrarySession::CloseSequenceMdbFile() {
    const bool writable = m_open && !m_readOnly;
    m_host.writeLibrarySettings(writable ? &m_db : nullptr);
    if (writable) {
        OptimizeDatabase(m_db);
    }
    m_db.close();
    m_open = false;
    m_readOnly = false;
    // The window is reset after the session is closed, so that what it asks of the session (which
    // commands to offer) already sees no library.
    m_host.libraryClosed();
}

bool LibrarySession::OptimizeDatabase(Database& db) {
    try {
        // Only free pages are worth the rewrite; a library without any stays untouched.
        if (db.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong() == 0) {
            return true;
        }
        // VACUUM copies the library into a temporary database and back, under the library's
        // exclusive lock and rollback journal. The copy goes to a temporary file, not to memory,
        // so that a large library does not have to fit in memory; a library another program is
        // using is left as it is at once, without waiting for it.
        PragmaScope tempStore(db, QStringLiteral("temp_store"), QStringLiteral("FILE"), QStringLiteral("MEMORY"));
        db.setBusyTimeout(0);
        db.exec(QStringLiteral("VACUUM"));
        db.setBusyTimeout(Database::kBusyTimeout);
        return true;
    } catch (const DbError& error) {
        db.setBusyTimeout(Database::kBusyTimeout);
        if (LibraryFile::statusOf(error) != LibraryFile::Status::InUse) {
            logError("modDataBase.OptimizeDatabase", error.info());
        }
        return false;
    }
}

void LibrarySession::addRecentFile(const QString& path) {
    auto& slots = m_state.RecentFile;
    const int n = recentCount();
    if (!path.isEmpty() && n > 0) {
        int found = -1;
        for (int i = 0; i < static_cast<int>(slots.size()) && !slots[i].isEmpty(); ++i) {
            if (slots[i].compare(path, Qt::CaseInsensitive) == 0) {
                found = i;
                break;
            }
        }
        const int last = found >= 0 ? found : n - 1;
        for (int i = last; i > 0; --i) {
            slots[i] = slots[i - 1];
        }
        slots[0] = path;
    }
    m_host.recentFilesChanged();
}

QStringList LibrarySession::recentFiles() const {
    QStringList files;
    for (int i = 0; i < recentCount() && !m_state.RecentFile[i].isEmpty(); ++i) {
        files.append(m_state.RecentFile[i]);
    }
    return files;
}

bool LibrarySession::createFromTemplate(const QString& givenTarget,
                                        const std::function<bool(const QString&)>& replaceExisting) {
    const QString target = LibraryFile::absolutePath(givenTarget);
    const QString templatePath = LibraryFile::absolutePath(TemplatePath());
    if (!QFileInfo::exists(templatePath)) {
        m_host.showMessage(40111, {kTemplateName});
        return false;
    }
    if (target == templatePath || FilePath::sameFile(target, templatePath)) {
        m_host.showMessage(40112, {kTemplateName});
        return false;
    }
    if (QFileInfo::exists(target)) {
        if (!replaceExisting(target)) {
            return false;
        }
        if (!QFile::remove(target)) {
            logError("frmVornReader.mnuFileMdbNew_Click",
                     {VornError::PathAccess, QStringLiteral("Cannot remove \"%1\".").arg(target)});
            return false;
        }
    }
    if (m_open) {
        CloseSequenceMdbFile();
    }
    modDataBase::AdminDataBase(templatePath, [this](const QString& prompt) { return m_host.askAuthor(prompt); });
    if (!QFile::copy(templatePath, target)) {
        logError("frmVornReader.mnuFileMdbNew_Click",
                 {VornError::PathAccess, QStringLiteral("Cannot copy the template to \"%1\".").arg(target)});
        return false;
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    return OpenSequenceMdbFile(target);
}
