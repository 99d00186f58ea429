#pragma once

#include <QList>
#include <QObject>
#include <QString>

class BrowserState;
class CallList;
class Database;
class IBrowserDialogs;
class SequenceList;
struct Settings;

// The call grid's pop-up commands: insert, add and delete a call (keeping the numbers 1, 2, 3 ...
// without gaps) and the formation editor.
class CallEditing : public QObject {
    Q_OBJECT

public:
    CallEditing(Settings& settings, BrowserState& state, Database& db, SequenceList& sequences, CallList& calls,
                IBrowserDialogs& dialogs, QObject* parent = nullptr);

    // n: the call number (the call-grid row + 1).
    void grdCall_AddRow(int n);
    void grdCall_DeleteRow(int n);
    void grdCall_EditFormation(int n);

    // The menu commands on the current call row.
    void mnuCallEditInsert_Click();
    void mnuCallEditAdd_Click();
    void mnuCallEditDelete_Click();
    void mnuCallEditFormation_Click();

private:
    // One stored call of the current sequence as the commands need it.
    struct StoredCall {
        int number = 0;
        QString call;
    };

    // The calls of the current sequence in Number order.
    QList<StoredCall> loadCalls();
    // Makes the Number values of calls (in Number order) consecutive from 1, in the table too.
    void RenumberCalls(QList<StoredCall>& calls);

    Settings& m_settings;
    BrowserState& m_state;
    Database& m_db;
    SequenceList& m_sequences;
    CallList& m_calls;
    IBrowserDialogs& m_dialogs;
};
