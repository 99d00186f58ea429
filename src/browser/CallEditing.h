#pragma once

#include <QObject>

struct BrowserState;
class CallList;
class IBrowserDialogs;
class LibraryOperations;
class SequenceSelection;
struct Settings;

// The call grid's pop-up commands: insert, add and delete a call (keeping the numbers 1, 2, 3 ...
// without gaps) and the formation editor.
class CallEditing : public QObject {
    Q_OBJECT

public:
    CallEditing(Settings& settings, BrowserState& state, LibraryOperations& library, SequenceSelection& selection,
                CallList& calls, IBrowserDialogs& dialogs, QObject* parent = nullptr);

    // n: the call number (the call-grid row + 1).
    void addCallRow(int n) { addRow(n, 10515); }
    void deleteCallRow(int n);
    void editCallFormation(int n);

    // The menu commands on the current call row.
    void insertCallAtCurrent();
    void addCallAfterCurrent();
    void deleteCurrentCall();
    void editCurrentFormation();

private:
    // A new empty call as number n; captionKey names the change for undo.
    void addRow(int n, int captionKey);
    Settings& m_settings;
    BrowserState& m_state;
    LibraryOperations& m_library;
    SequenceSelection& m_selection;
    CallList& m_calls;
    IBrowserDialogs& m_dialogs;
};
