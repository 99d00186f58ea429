#pragma once

#include <QObject>
#include <functional>

struct BrowserState;
class CallList;
class IBrowserDialogs;
class LibraryOperations;
class SequenceList;
struct Settings;

// The commands on the selected sequences (states, history, level, deletion, copy and cut) and on
// the history grid.
class SequenceCommands : public QObject {
    Q_OBJECT

public:
    // refreshLevels: the level menu and the list are rebuilt (VisibleLevel, then CreateList).
    SequenceCommands(Settings& settings, BrowserState& state, LibraryOperations& library, SequenceList& sequences,
                     CallList& calls, IBrowserDialogs& dialogs, std::function<void()> refreshLevels,
                     QObject* parent = nullptr);

    void setSequenceState(int index);
    void addHistory();
    void deleteHistoryDate();
    void changeLevel();
    void deleteSequences();
    void deleteHistoryRows();
    void copySequences();
    void cutSequences();
    void validateHistoryEdit(int row, int column, const QString& text);

    // A history date as typed ("2002/1/5", "2002-01-05"); invalid when it is not a date.
    static QDate parseCallDate(const QString& text);

private:
    void refreshRow();

    Settings& m_settings;
    BrowserState& m_state;
    LibraryOperations& m_library;
    SequenceList& m_sequences;
    CallList& m_calls;
    IBrowserDialogs& m_dialogs;
    std::function<void()> m_refreshLevels;
    bool m_validating = false;
};
