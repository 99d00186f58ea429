#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class IBrowserDialogs;
class LibrarySession;
class MainMenus;
struct Settings;

// The window's side of the open library: File > New, Open and Close with their file dialogs, the
// recent-file items and the window caption. Every open the window makes goes through
// OpenSequenceMdbFile, which keeps the database-switch key it came through for the caption.
class LibraryCommands : public QObject {
    Q_OBJECT

public:
    LibraryCommands(Settings& settings, LibrarySession& session, IBrowserDialogs& dialogs, MainMenus& menus,
                    QObject* parent);

    LibrarySession& session() { return m_session; }

    // Opens the library at path; switchLabel (the database-switch key it was opened through, or
    // "") becomes FuncKey once it is open. A refused or failed open keeps the label there was.
    bool OpenSequenceMdbFile(const QString& path, const QString& switchLabel);
    // The recent-file items from the session's list.
    void UpdateRecentFileMenu();
    // The window caption for the shown level (empty: no level shown), as in
    // "【Plus】 Dance.mdb [F2] (/lib) - VornReader".
    QString caption(const QString& level) const;

    void newLibrary();
    void openLibrary();
    void closeLibrary();
    void openRecentFile(int index);

private:
    // Runs an open with switchLabel as FuncKey; one that fails keeps the label there was. The
    // label is in place before the panes are filled, so that the first caption names it.
    // The label is taken by value: the start-up passes FuncKey itself.
    bool opened(QString switchLabel, const std::function<bool()>& open);
    // The file dialog of File > New (title 30102) or File > Open (title 30101); nothing when
    // cancelled.
    std::optional<QString> chooseLibraryFile(int titleKey) const;

    Settings& m_settings;
    LibrarySession& m_session;
    IBrowserDialogs& m_dialogs;
    MainMenus& m_menus;
};
