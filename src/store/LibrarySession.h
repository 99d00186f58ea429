#pragma once

#include "Database.h"
#include "LibraryFile.h"

#include <QString>
#include <array>

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

    // ReadOnly: the library is only read (nothing is upgraded, written or compacted), as for the
    // command-line tool's listing and copying.
    enum class Access { ReadWrite, ReadOnly };

    bool isOpen() const { return m_open; }
    // The open library cannot be written: its file or folder is read-only, or it was opened so.
    bool isReadOnly() const { return m_readOnly; }
    Database& database() { return m_db; }

    // A file that is missing, not a library, in use or unreadable is refused with one message
    // before the open library is closed; it is not remembered.
    bool OpenSequenceMdbFile(const QString& path, const QString& switchLabel, Access access = Access::ReadWrite);
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

    // Compacts the library in place when it has free pages. A library another program is using
    // is skipped silently; any failure leaves it as it was (and is logged).
    static bool OptimizeDatabase(Database& db);

private:
    int recentCount() const;
    // Shows the message for a refused file; false when the file may be opened.
    bool refuse(const QString& path, const LibraryFile::Check& check);

    LibraryState m_state;
    ILibraryHost& m_host;
    Database m_db;
    bool m_open = false;
    bool m_readOnly = false;
};
