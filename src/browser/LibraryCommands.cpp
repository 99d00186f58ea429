#include "LibraryCommands.h"

#include "IBrowserDialogs.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "Settings.h"
#include "modGeneral.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

LibraryCommands::LibraryCommands(Settings& settings, LibrarySession& session, IBrowserDialogs& dialogs,
                                 MainMenus& menus, QObject* parent)
    : QObject(parent), m_settings(settings), m_session(session), m_dialogs(dialogs), m_menus(menus) {
    connect(m_menus.fileNew, &QAction::triggered, this, &LibraryCommands::newLibrary);
    connect(m_menus.fileOpen, &QAction::triggered, this, &LibraryCommands::openLibrary);
    connect(m_menus.fileClose, &QAction::triggered, this, &LibraryCommands::closeLibrary);
    for (int i = 0; i < MainMenus::RecentItems; ++i) {
        connect(m_menus.recentFiles[i], &QAction::triggered, this, [this, i] { openRecentFile(i); });
    }
}

bool LibraryCommands::opened(QString switchLabel, const std::function<bool()>& open) {
    QString previous = std::exchange(m_settings.FuncKey, std::move(switchLabel));
    if (open()) {
        return true;
    }
    m_settings.FuncKey = std::move(previous);
    return false;
}

bool LibraryCommands::OpenSequenceMdbFile(const QString& path, const QString& switchLabel) {
    return opened(switchLabel, [this, &path] { return m_session.OpenSequenceMdbFile(path); });
}

void LibraryCommands::UpdateRecentFileMenu() {
    const QStringList files = m_session.recentFiles();
    for (int i = 0; i < MainMenus::RecentItems; ++i) {
        QAction* action = m_menus.recentFiles[i];
        const bool shown = i < files.size();
        // Access keys 1 to 9; the later items have none.
        const QString number = QString::number(i + 1);
        action->setText(shown ? (i < 9 ? QLatin1Char('&') + number : number) + QLatin1Char(' ') + files[i] : QString());
        action->setData(shown ? files[i] : QString());
        action->setVisible(shown);
    }
    m_menus.recentSeparator->setVisible(!files.isEmpty());
}

QString LibraryCommands::caption(const QString& level) const {
    QString caption;
    if (!level.isEmpty()) {
        caption += QStringLiteral("【") + level + QStringLiteral("】 ");
    }
    caption += m_settings.MdbFile + QLatin1Char(' ');
    if (!m_settings.FuncKey.isEmpty()) {
        caption += QLatin1Char('[') + m_settings.FuncKey + QStringLiteral("] ");
    }
    return caption + QLatin1Char('(') + m_settings.MdbPath + QStringLiteral(") - VornReader");
}

std::optional<QString> LibraryCommands::chooseLibraryFile(int titleKey) const {
    // The folder of the open library, or the caller's documents when none is open.
    const QString& folder = m_settings.MdbPath;
    const QString start = m_session.isOpen() && QFileInfo(folder).isDir()
                              ? folder
                              : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString title = modGeneral::LoadTransString(titleKey);
    const QString filter = modGeneral::LoadTransString(30111);
    if (titleKey != 30102) {
        return m_dialogs.openFile(title, start, filter);
    }
    // A new library is proposed under a name of its own that no file there has yet.
    const QFileInfo proposed(QDir(start).filePath(modGeneral::LoadTransString(30106)));
    QString name = proposed.filePath();
    for (int n = 2; QFileInfo::exists(name); ++n) {
        name = proposed.dir().filePath(
            QStringLiteral("%1 %2.%3").arg(proposed.completeBaseName()).arg(n).arg(proposed.suffix()));
    }
    return m_dialogs.saveFile(title, name, filter);
}

void LibraryCommands::newLibrary() {
    const std::optional<QString> chosen = chooseLibraryFile(30102);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    opened(QString(), [this, &chosen] {
        return m_session.createFromTemplate(*chosen, [this](const QString& existing) {
            return m_dialogs.question(modGeneral::TransMessage(40113, {existing}));
        });
    });
}

void LibraryCommands::openLibrary() {
    const std::optional<QString> chosen = chooseLibraryFile(30101);
    if (chosen && !chosen->isEmpty()) {
        OpenSequenceMdbFile(*chosen, QString());
    }
}

void LibraryCommands::closeLibrary() {
    m_session.CloseSequenceMdbFile();
    m_settings.MdbPath.clear();
    m_settings.MdbFile.clear();
}

void LibraryCommands::openRecentFile(int index) {
    const QStringList files = m_session.recentFiles();
    if (index >= 0 && index < files.size()) {
        OpenSequenceMdbFile(files[index], QString());
    }
}
