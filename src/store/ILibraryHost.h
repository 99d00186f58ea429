#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

class Database;

// What the library's life needs from around it: refusals, the answer of the schema upgrade, the
// library settings, and word of an open, a close and a changed recent list. The program answers
// with its dialogs and panes; the command-line tool and the tests answer without a window.
class ILibraryHost {
public:
    virtual ~ILibraryHost() = default;

    // A refusal by translation key with its arguments.
    virtual void showMessage(int key, const QVariantList& arguments) = 0;
    // The question of the schema upgrade when an older library gets its Author field.
    virtual std::optional<QString> askAuthor(const QString& prompt) = 0;

    // The library's own settings: read after the open, written before the close (nullptr: none open).
    virtual void readLibrarySettings(Database& db) = 0;
    virtual void writeLibrarySettings(Database* db) = 0;

    // After an open and after a close.
    virtual void libraryOpened() {}
    virtual void libraryClosed() {}
    // The recent-file list (LibrarySession::recentFiles) was changed or is to be shown anew.
    virtual void recentFilesChanged() {}
};
