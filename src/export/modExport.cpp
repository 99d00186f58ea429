#include "modExport.h"

#include "Database.h"
#include "DbError.h"
#include "FilePath.h"
#include "HistoryDate.h"
#include "IExportHost.h"
#include "IProgress.h"
#include "LibraryFile.h"
#include "LibrarySession.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

const QString kProcedure = QStringLiteral("modExport.ExportCall");

bool current(Database& db, const QString& schema) {
    const QString sequence = QStringLiteral("tblSequence");
    return modDataBase::CheckExistField(db, sequence, QStringLiteral("OrderNo"), schema) &&
           modDataBase::CheckExistField(db, sequence, QStringLiteral("Author"), schema) &&
           modDataBase::CheckExistField(db, QStringLiteral("tblCall"), QStringLiteral("HexInfo"), schema) &&
           modDataBase::CheckExistTable(db, QStringLiteral("tblHistory"), schema);
}

// Lets SQLite roll back what a failed commit left in a file's journal, so that the file is as it
// was for the next program; a journal that cannot be rolled back now is rolled back by the next
// program that opens the file for writing.
void rollBackLeftovers(const QString& path) {
    if (!QFileInfo::exists(path + QStringLiteral("-journal"))) {
        return;
    }
    try {
        LibraryFile::rollBack(path);
    } catch (const DbError&) {
        // The file stays as SQLite left it; its journal keeps what restores it.
    }
}

// The file a damaged-file error came from: the one quick_check finds fault with.
QString damagedOne(const QString& source, const QString& target) {
    for (const QString& path : {target, source}) {
        try {
            Database db(path, Database::Mode::ReadOnly);
            if (!LibraryFile::damage(db).isEmpty()) {
                return path;
            }
        } catch (const DbError&) {
            return path;
        }
    }
    return target;
}

// A failure of a file or of the machine, in the words the other commands use; empty for any other
// failure, which goes to the error box.
QString fatalMessage(const DbError& error, const QString& source, const QString& target) {
    if (!error.isFatal() || error.isInterrupt()) {
        return {};
    }
    switch (error.primaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return modGeneral::TransMessage(40105, {LibraryFile::isWriteLocked(target) ? target : source});
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return modGeneral::TransMessage(40166, {damagedOne(source, target), error.message()});
    default:
        break;
    }
    const QString cause = modGeneral::MessageFormat(
        modGeneral::LoadTransString(error.causeKey(), QStringLiteral("the library reported an error (%1).")),
        {error.message()});
    return modGeneral::TransMessage(40168, {source, target, cause});
}

// Reports a failed export: a failure of a file or of the machine with one message, any other in
// the error box; both files are left as they were.
modExport::ExportResult failed(const DbError& error, bool begun, const QString& source, const QString& target,
                               IExportHost& host) {
    const QString stage = begun ? QStringLiteral("After BeginTrans") : QStringLiteral("Before BeginTrans");
    rollBackLeftovers(target);
    rollBackLeftovers(source);
    const QString message = fatalMessage(error, source, target);
    if (message.isEmpty()) {
        modSystem::WriteErrorLog(kProcedure, error.info(), stage);
    } else {
        modSystem::WriteErrorLogFile(kProcedure, error.info(), stage);
        host.exclamation(message);
    }
    return {modExport::Outcome::Failed, 0};
}

// Ends the move's wait sign however the move ends.
class BusyScope {
public:
    explicit BusyScope(IExportHost& host) : m_host(host) { m_host.busy(true); }
    ~BusyScope() { m_host.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    IExportHost& m_host;
};

} // namespace

namespace modExport {

std::optional<QString> ExportDate(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return QString();
    }
    const QDate date = HistoryDate::historyDate(text);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

bool SameFile(const QString& first, const QString& second) {
    return FilePath::resolve(first) == FilePath::resolve(second) || FilePath::sameFile(first, second);
}

QString CheckPaths(const QString& source, const QString& target) {
    if (source.isEmpty()) {
        return modGeneral::TransMessage(40211);
    }
    if (target.isEmpty()) {
        return modGeneral::TransMessage(40212);
    }
    if (SameFile(source, target)) {
        return modGeneral::TransMessage(40213);
    }
    return {};
}

QString CheckLibrary(const QString& path) {
    const QString absolute = LibraryFile::absolutePath(path);
    const LibraryFile::Check check = LibraryFile::inspect(absolute);
    switch (check.status) {
    case LibraryFile::Status::Missing:
        return modGeneral::TransMessage(40201, {absolute});
    case LibraryFile::Status::NotLibrary:
        return modGeneral::TransMessage(40104, {absolute, check.detail});
    case LibraryFile::Status::InUse:
        return modGeneral::TransMessage(40105, {absolute});
    case LibraryFile::Status::NoPermission:
        return modGeneral::TransMessage(40106, {absolute, check.detail});
    case LibraryFile::Status::NotUpgradable:
        return modGeneral::TransMessage(40109, {absolute, check.detail});
    case LibraryFile::Status::Ok:
        break;
    }
    // New libraries are copies of the template: sequences moved into it would turn up in each.
    if (SameFile(absolute, LibrarySession::TemplatePath())) {
        return modGeneral::TransMessage(40102, {absolute});
    }
    // Both files change: the source loses the sequences, the target gains them.
    if (check.readOnly) {
        return modGeneral::TransMessage(40107, {absolute});
    }
    return {};
}

ExportResult ExportCall(const QString& sourcePath, const QString& targetPath, const ExportFilter& filter,
                        IExportHost& host, IProgress* progress) {
    QString refusal = CheckPaths(sourcePath, targetPath);
    for (const QString& path : {sourcePath, targetPath}) {
        if (refusal.isEmpty()) {
            refusal = CheckLibrary(path);
        }
    }
    if (!refusal.isEmpty()) {
        host.exclamation(refusal);
        return {Outcome::Refused, 0};
    }
    const QString source = LibraryFile::absolutePath(sourcePath);
    const QString target = LibraryFile::absolutePath(targetPath);

    qint64 found = 0;
    try {
        Database db(source);
        LibraryExport exporter(db, target);
        // A damaged file is refused before anything moves: sequences moved into it (or out of it)
        // would be lost with it.
        for (const auto& [schema, path] :
             {std::pair{QStringLiteral("main"), source}, std::pair{QStringLiteral("target"), target}}) {
            const QString damage = LibraryFile::damage(db, schema);
            if (!damage.isEmpty()) {
                host.exclamation(modGeneral::TransMessage(40166, {path, damage}));
                return {Outcome::Refused, 0};
            }
        }
        found = exporter.count(filter);
    } catch (const DbError& error) {
        return failed(error, false, source, target, host);
    }
    if (found == 0) {
        host.information(modGeneral::TransMessage(40222));
        return {Outcome::NoneFound, 0};
    }
    if (!host.question(modGeneral::TransCount(40221, 40225, found, {target}))) {
        return {Outcome::Cancelled, found};
    }

    // The target is brought up to date before anything moves; so is the source, whose calls and
    // sequence fields are read whole.
    const auto askAuthor = [&host](const QString& prompt) { return host.askAuthor(prompt); };
    // An upgrade that failed or was refused has been reported; nothing moves.
    if (!modDataBase::AdminDataBase(target, askAuthor) || !modDataBase::AdminDataBase(source, askAuthor)) {
        return {Outcome::Failed, 0};
    }

    Database db;
    std::optional<LibraryExport> move;
    try {
        db.open(source);
        move.emplace(db, target);
        // An upgrade that failed has been reported; the move would only fail again.
        if (!current(db, QStringLiteral("main")) || !current(db, QStringLiteral("target"))) {
            return {Outcome::Failed, 0};
        }
        qint64 moved = 0;
        {
            BusyScope busy(host);
            progressLabel(progress, modGeneral::TransCount(20904, 20909, found, {target}));
            moved = move->move(filter, progress);
        }
        move.reset();
        db.close();
        if (progress != nullptr) {
            progress->pause();
        }
        host.information(modGeneral::TransMessage(40223));
        return {Outcome::Moved, moved};
    } catch (const WorkCancelled&) {
        move.reset();
        db.close();
        if (progress != nullptr) {
            progress->pause();
        }
        host.information(modGeneral::TransMessage(40224));
        return {Outcome::Stopped, 0};
    } catch (const DbError& error) {
        const bool begun = move && move->transactionBegun();
        move.reset();
        db.close();
        return failed(error, begun, source, target, host);
    }
}

} // namespace modExport
