#pragma once

#include "BrowserState.h"
#include "ILibraryHost.h"

#include <QMainWindow>
#include <QTranslator>
#include <memory>

class CallEditing;
class CallList;
class DatabaseSwitchMenu;
class ExportCommand;
class HistoryViews;
class IBrowserDialogs;
class KeyDispatch;
class LibraryCommands;
class LibraryOperations;
class LibrarySession;
class MainMenus;
class PlayerPanel;
class OptionsCommand;
class PrintCommands;
class ReadCommands;
class SearchCommands;
class SequenceCommands;
class SequenceList;
class SequenceSelection;
class SplitLayout;
class UndoHistory;
struct Settings;

// The main window: builds the panes, menus and status bar, owns the open library and wires the
// sequence list, the call list and the keys together.
class frmVornReader : public QMainWindow, private ILibraryHost {
    Q_OBJECT

public:
    // iniFile: the INI file named on the command line ("VornReader.ini" when empty). dialogs:
    // the questions and messages (nullptr: real dialogs).
    explicit frmVornReader(const QString& iniFile = {}, IBrowserDialogs* dialogs = nullptr);
    ~frmVornReader() override;

    // The file named after "-ini" at an option position of the command line, or "".
    static QString iniFileFromArguments(const QStringList& words);

    LibrarySession& session() { return *m_session; }
    LibraryCommands& libraryCommands() { return *m_libraryCommands; }
    LibraryOperations& library() { return *m_library; }
    SequenceList& sequenceList() { return *m_sequences; }
    CallList& callList() { return *m_calls; }
    MainMenus& menus() { return *m_menus; }
    SequenceCommands& sequenceCommands() { return *m_commands; }
    CallEditing& callEditing() { return *m_callEditing; }
    SearchCommands& searchCommands() { return *m_search; }
    OptionsCommand& optionsCommand() { return *m_options; }
    DatabaseSwitchMenu& switchMenu() { return *m_switchMenu; }
    PrintCommands& printCommands() { return *m_print; }
    ExportCommand& exportCommand() { return *m_export; }
    UndoHistory& undoHistory() { return *m_undo; }
    ReadCommands& readCommands() { return *m_reads; }
    HistoryViews& historyViews() { return *m_historyViews; }
    BrowserState& state() { return m_state; }

    void VisibleLevel();
    void mnuViewLevel_Click(int index);
    void CreateList();
    void DispFormCaption();

    // Menu commands.
    void mnuHelpIndex_Click();
    void mnuHelpVersion_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ILibraryHost
    void showMessage(int key, const QVariantList& arguments) override;
    std::optional<QString> askAuthor(const QString& prompt) override;
    void readLibrarySettings(Database& db) override;
    void writeLibrarySettings(Database* db) override;
    void libraryOpened() override;
    void libraryClosed() override;
    void recentFilesChanged() override;

    void Form_Load();
    void Form_Activate();
    bool Form_QueryUnload();
    void connectMenus();
    void applyGeometry();
    void installQtTranslation();
    void storeGeometry();
    void updateLibraryCommands();
    void updateUndoCommands();
    // The panes after an undo or a redo, on the same sequence when it is still listed.
    void showRestored();

    Settings& m_settings;
    BrowserState m_state;
    std::unique_ptr<IBrowserDialogs> m_ownDialogs;
    IBrowserDialogs* m_dialogs;
    std::unique_ptr<LibrarySession> m_session;
    std::unique_ptr<LibraryOperations> m_library;
    SequenceSelection* m_selection = nullptr;
    SequenceList* m_sequences = nullptr;
    CallList* m_calls = nullptr;
    SplitLayout* m_split = nullptr;
    MainMenus* m_menus = nullptr;
    LibraryCommands* m_libraryCommands = nullptr;
    KeyDispatch* m_keys = nullptr;
    SequenceCommands* m_commands = nullptr;
    CallEditing* m_callEditing = nullptr;
    SearchCommands* m_search = nullptr;
    PlayerPanel* m_player = nullptr;
    OptionsCommand* m_options = nullptr;
    DatabaseSwitchMenu* m_switchMenu = nullptr;
    PrintCommands* m_print = nullptr;
    ExportCommand* m_export = nullptr;
    UndoHistory* m_undo = nullptr;
    ReadCommands* m_reads = nullptr;
    HistoryViews* m_historyViews = nullptr;
    bool m_activated = false;
    QTranslator m_qtTranslator;
};
