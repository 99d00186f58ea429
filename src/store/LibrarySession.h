#pragma once

#include "Database.h"

#include <QString>
#include <array>
#include <functional>

class ILibraryHost;

// The settings the library's life reads and changes, held by the settings store.
struct LibraryState {
    QString& MdbPath;
    QString& MdbFile;
    QString& FuncKey;
    std::array<QString, 20>& RecentFile;
    qint16& RecentFileCnt;
};

// One recent-file menu item: its caption and the path it opens.
struct RecentMenuItem {
    QString caption;
    QString path;
};

// The open library: opening (with the schema upgrade), closing (with compaction), File > New from
// the template, File > Open and Close, the recent-file list and the window caption.
class LibrarySession {
public:
    LibrarySession(LibraryState state, ILibraryHost& host);
    ~LibrarySession();
    LibrarySession(const LibrarySession&) = delete;
    LibrarySession& operator=(const LibrarySession&) = delete;

    bool isOpen() const { return m_open; }
    Database& database() { return m_db; }

    bool OpenSequenceMdbFile(const QString& path, const QString& switchLabel);
    void CloseSequenceMdbFile();
    void UpdateRecentFileMenu(const QString& path);
    // The window caption for the shown level (empty: no level shown).
    QString DispFormCaption(const QString& level) const;

    void mnuFileMdbNew_Click();
    void mnuFileMdbOpen_Click();
    void mnuFileMdbClose_Click();
    void mnuRecentFile_Click(int index);

    // The recent-file items to show, in order (at most RecentFileCnt, up to the first empty slot).
    QList<RecentMenuItem> recentMenuItems() const;

    static QString TemplatePath();

    // Replaces target with the compacted copy at source; the default writes beside the target,
    // flushes and renames over it. Tests put a failing one in.
    using ReplaceFile = std::function<bool(const QString& source, const QString& target)>;
    // Compacts the closed library at path through a work file in the Temp folder. A library that
    // another program is using is skipped silently; any failure leaves the file as it was.
    static bool OptimizeDatabase(const QString& path, const ReplaceFile& replace = {});

private:
    int recentCount() const;

    LibraryState m_state;
    ILibraryHost& m_host;
    Database m_db;
    bool m_open = false;
};
