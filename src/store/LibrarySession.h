#pragma once

#include "Database.h"
#include "LibraryFile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class ILibraryHost;

// The settings the library's life reads and changes, held by the settings store: the folder and
// file of the open (or last) library and the recent-file list.
struct LibraryState {
    QString& MdbPath;
    QString& MdbFile;
    std::array<QString, 20>& RecentFile;
    qint16& RecentFileCnt;
};

// The open library: opening (with the schema upgrade), closing (with compaction), a new library
// from the template and the recent-file list. What the window makes of it (menus, caption, file
// dialogs) lives in the window.
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
    bool OpenSequenceMdbFile(const QString& path, Access access = Access::ReadWrite);
    void CloseSequenceMdbFile();

    // A new library at target, copied from the template (brought up to date first) and opened. A
    // missing template, or a target that is the template, is refused with a message; an existing
    // file there is replaced only when replaceExisting (given its absolute path) says so. False
    // when no library was made and opened.
    bool createFromTemplate(const QString& target, const std::function<bool(const QString&)>& replaceExisting);

    // Puts path at the head of the recent list (where it stood, it moves up; otherwise the last
    // entry drops out); an empty path changes nothing. The host hears of the list either way.
    void addRecentFile(const QString& path);
    // The recent files in order: at most RecentFileCnt, up to the first empty slot.
    QStringList recentFiles() const;

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
