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
    void grdCall_AddRow(int n) { addRow(n, 10515); }
    void grdCall_DeleteRow(int n);
    void grdCall_EditFormation(int n);

    // The menu commands on the current call row.
    void mnuCallEditInsert_Click();
    void mnuCallEditAdd_Click();
    void mnuCallEditDelete_Click();
    void mnuCallEditFormation_Click();

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
