#include "LibrarySession.h"

#include "AppHome.h"
#include "DbError.h"
#include "ILibraryHost.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sqlite3.h>

namespace {

const QString kTemplateName = QStringLiteral("vornreader_org.mdb");

void logError(const char* procedure, const ErrorInfo& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error);
}

bool replaceBeside(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    // QSaveFile writes a temporary file beside the target, flushes it to disk and renames it over
    // the target only when everything was written.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

} // namespace

LibrarySession::LibrarySession(LibraryState state, ILibraryHost& host) : m_state(state), m_host(host) {}

LibrarySession::~LibrarySession() = default;

QString LibrarySession::TemplatePath() {
    return AppHome::resolve(kTemplateName);
}

int LibrarySession::recentCount() const {
    return std::clamp<int>(m_state.RecentFileCnt, 0, static_cast<int>(m_state.RecentFile.size()));
}

bool LibrarySession::OpenSequenceMdbFile(const QString& path, const QString& switchLabel) {
    if (m_open) {
        CloseSequenceMdbFile();
    }
    if (!QFileInfo(path).isFile()) {
        m_host.showMessage(40101, {path});
        return false;
    }
    if (path == TemplatePath()) {
        m_host.showMessage(40102, {path});
        return false;
    }
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.mid(dot + 1).compare(QLatin1String("mdb"), Qt::CaseInsensitive) != 0) {
        m_host.showMessage(40103, {});
        return false;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash >= 1) {
        m_state.MdbPath = path.left(slash);
        m_state.MdbFile = path.mid(slash + 1);
    } else {
        m_state.MdbPath = AppHome::path();
        m_state.MdbFile = slash == 0 ? path.mid(1) : path;
    }
    UpdateRecentFileMenu(path);
    try {
        // A file that is not a database is refused before the upgrade touches it.
        m_db.open(path);
        m_db.close();
        modDataBase::AdminDataBase(path, [this](const QString& prompt) { return m_host.askAuthor(prompt); });
        m_db.open(path);
        m_open = true;
        m_host.readLibrarySettings(m_db);
        m_state.FuncKey = switchLabel;
        m_host.libraryOpened();
        return true;
    } catch (const DbError& error) {
        m_db.close();
        m_open = false;
        logError("frmVornReader.OpenSequenceMdbFile", error.info());
        return false;
    }
}

void LibrarySession::CloseSequenceMdbFile() {
    m_host.writeLibrarySettings(m_open ? &m_db : nullptr);
    m_db.close();
    m_host.libraryClosed();
    OptimizeDatabase(m_state.MdbPath + QLatin1Char('/') + m_state.MdbFile);
    m_open = false;
}

bool LibrarySession::OptimizeDatabase(const QString& path, const ReplaceFile& replace) {
    const QString work = AppHome::tempPath() + QLatin1Char('/') + QFileInfo(path).fileName();
    try {
        if (QFileInfo::exists(work) && !QFile::remove(work)) {
            throw DbError(SQLITE_CANTOPEN, QStringLiteral("Cannot remove the work file \"%1\".").arg(work));
        }
        {
            Database db(path);
            // The exclusive lock, kept until the file has been replaced, tells whether another
            // program is using the library and keeps it from writing meanwhile.
            db.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
            db.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
            db.exec(QStringLiteral("BEGIN EXCLUSIVE; COMMIT;"));
            Statement vacuum = db.prepare(QStringLiteral("VACUUM INTO ?"));
            vacuum.bind(1, work);
            vacuum.run();
            const bool replaced = replace ? replace(work, path) : replaceBeside(work, path);
            if (!replaced) {
                throw DbError(SQLITE_IOERR, QStringLiteral("Cannot replace \"%1\" with its compacted copy.").arg(path));
            }
        }
        QFile::remove(work);
        return true;
    } catch (const DbError& error) {
        QFile::remove(work);
        // A library in use by another program stays as it is, without a word.
        if (error.primaryCode() != SQLITE_BUSY && error.primaryCode() != SQLITE_LOCKED) {
            logError("modDataBase.OptimizeDatabase", error.info());
        }
        return false;
    }
}

void LibrarySession::UpdateRecentFileMenu(const QString& path) {
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

QList<RecentMenuItem> LibrarySession::recentMenuItems() const {
    QList<RecentMenuItem> items;
    for (int i = 0; i < recentCount() && !m_state.RecentFile[i].isEmpty(); ++i) {
        const QString number = QString::number(i + 1);
        const QString& path = m_state.RecentFile[i];
        items.append({(i < 9 ? QLatin1Char('&') + number : number) + QLatin1Char(' ') + path, path});
    }
    return items;
}

QString LibrarySession::DispFormCaption(const QString& level) const {
    QString caption;
    if (!level.isEmpty()) {
        caption += QStringLiteral("【") + level + QStringLiteral("】 ");
    }
    caption += m_state.MdbFile + QLatin1Char(' ');
    if (!m_state.FuncKey.isEmpty()) {
        caption += QLatin1Char('[') + m_state.FuncKey + QStringLiteral("] ");
    }
    return caption + QLatin1Char('(') + m_state.MdbPath + QStringLiteral(") - VornReader");
}

void LibrarySession::mnuFileMdbNew_Click() {
    const std::optional<QString> chosen = m_host.chooseLibraryFile(30102, m_state.MdbPath);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const QString templatePath = TemplatePath();
    if (!QFileInfo::exists(templatePath)) {
        m_host.showMessage(40111, {kTemplateName});
        return;
    }
    if (*chosen == templatePath) {
        m_host.showMessage(40112, {kTemplateName});
        return;
    }
    if (QFileInfo::exists(*chosen)) {
        if (!m_host.askOverwrite(*chosen)) {
            return;
        }
        if (!QFile::remove(*chosen)) {
            logError("frmVornReader.mnuFileMdbNew_Click",
                     {VornError::PathAccess, QStringLiteral("Cannot remove \"%1\".").arg(*chosen)});
            return;
        }
    }
    if (m_open) {
        CloseSequenceMdbFile();
    }
    modDataBase::AdminDataBase(templatePath, [this](const QString& prompt) { return m_host.askAuthor(prompt); });
    if (!QFile::copy(templatePath, *chosen)) {
        logError("frmVornReader.mnuFileMdbNew_Click",
                 {VornError::PathAccess, QStringLiteral("Cannot copy the template to \"%1\".").arg(*chosen)});
        return;
    }
    QFile::setPermissions(*chosen, QFile::permissions(*chosen) | QFile::WriteOwner);
    OpenSequenceMdbFile(*chosen, QString());
}

void LibrarySession::mnuFileMdbOpen_Click() {
    const std::optional<QString> chosen = m_host.chooseLibraryFile(30101, m_state.MdbPath);
    if (chosen && !chosen->isEmpty()) {
        OpenSequenceMdbFile(*chosen, QString());
    }
}

void LibrarySession::mnuFileMdbClose_Click() {
    CloseSequenceMdbFile();
    m_state.MdbPath.clear();
    m_state.MdbFile.clear();
}

void LibrarySession::mnuRecentFile_Click(int index) {
    const QList<RecentMenuItem> items = recentMenuItems();
    if (index >= 0 && index < items.size()) {
        OpenSequenceMdbFile(items[index].path, QString());
    }
}
