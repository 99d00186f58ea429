#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

class Database;

// What the library's life needs from the window around it: messages and questions, the file
// choice, the library settings, and the refreshes after an open or a close. The program answers
// with dialogs and its panes; the command-line tool and the tests answer without a window.
class ILibraryHost {
public:
    virtual ~ILibraryHost() = default;

    // A refusal by translation key with its arguments (exclamation icon).
    virtual void showMessage(int key, const QVariantList& arguments) = 0;
    // Message 40113: overwrite an existing file? True for OK.
    virtual bool askOverwrite(const QString& path) = 0;
    // The file dialog of File > New (title 30102) or File > Open (title 30101); nothing when cancelled.
    virtual std::optional<QString> chooseLibraryFile(int titleKey, const QString& folder) = 0;
    // The question of the schema upgrade when an older library gets its Author field.
    virtual std::optional<QString> askAuthor(const QString& prompt) = 0;

    // The library's own settings: read after the open, written before the close (nullptr: none open).
    virtual void readLibrarySettings(Database& db) = 0;
    virtual void writeLibrarySettings(Database* db) = 0;

    // The window after an open (level menu, sequence list, caption) and after a close (empty panes).
    virtual void libraryOpened() {}
    virtual void libraryClosed() {}
    // The recent-file items are to be rebuilt from LibrarySession::recentMenuItems().
    virtual void recentFilesChanged() {}
};
