#include "modExport.h"

#include "Database.h"
#include "DbError.h"
#include "IExportHost.h"
#include "IProgress.h"
#include "LibraryFile.h"
#include "LibrarySession.h"
#include "SequenceParser.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace {

const QString kProcedure = QStringLiteral("modExport.ExportCall");

// The file a path names, links followed; the cleaned absolute path when it does not exist.
QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? LibraryFile::absolutePath(path) : resolved;
}

bool current(Database& db, const QString& schema) {
    const QString sequence = QStringLiteral("tblSequence");
    return modDataBase::CheckExistField(db, sequence, QStringLiteral("OrderNo"), schema) &&
           modDataBase::CheckExistField(db, sequence, QStringLiteral("Author"), schema) &&
           modDataBase::CheckExistField(db, QStringLiteral("tblCall"), QStringLiteral("HexInfo"), schema) &&
           modDataBase::CheckExistTable(db, QStringLiteral("tblHistory"), schema);
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
    const QDate date = SequenceParser::historyDate(text);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

bool SameFile(const QString& first, const QString& second) {
    if (canonical(first) == canonical(second)) {
        return true;
    }
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
        found = LibraryExport(db, target).count(filter);
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(kProcedure, error.info(), QStringLiteral("Before BeginTrans"));
        return {Outcome::Failed, 0};
    }
    if (found == 0) {
        host.information(modGeneral::TransMessage(40222));
        return {Outcome::NoneFound, 0};
    }
    if (!host.question(modGeneral::TransMessage(40221, {found, target}))) {
        return {Outcome::Cancelled, found};
    }

    // The target is brought up to date before anything moves; so is the source, whose calls and
    // sequence fields are read whole.
    const auto askAuthor = [&host](const QString& prompt) { return host.askAuthor(prompt); };
    modDataBase::AdminDataBase(target, askAuthor);
    modDataBase::AdminDataBase(source, askAuthor);

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
            progressLabel(progress,
                          modGeneral::MessageFormat(
                              modGeneral::LoadTransString(20904, QStringLiteral("Moving %1 sequences to %2...")),
                              {found, target}));
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
        modSystem::WriteErrorLog(kProcedure, error.info(),
                                 begun ? QStringLiteral("After BeginTrans") : QStringLiteral("Before BeginTrans"));
        return {Outcome::Failed, 0};
    }
}

} // namespace modExport
