#pragma once

#include "SearchEngine.h"

#include <QObject>

struct BrowserState;
class CallList;
class IBrowserDialogs;
class LibraryOperations;
class SequenceList;
class frmSearchWord;
struct Settings;

// Edit > Search and Edit > Replace: the dialog's buttons run the search engine, and each match is
// shown by moving the sequence list and the call list to it.
class SearchCommands : public QObject {
    Q_OBJECT

public:
    SearchCommands(Settings& settings, BrowserState& state, LibraryOperations& library, SequenceList& sequences,
                   CallList& calls, IBrowserDialogs& dialogs, QWidget* window, QObject* parent = nullptr);

    void showSearch();
    void showReplace();
    // One press of Find Next or Replace; true while a match is shown.
    bool SearchWord(bool replaceFlag, const QString& findText, const QString& replaceText, int compareMode,
                    int direction);
    void ReplaceWordAll(const QString& findText, const QString& replaceText, int compareMode);
    // The search steps through texts that may have changed: the next one starts afresh.
    void reset() { m_engine.Reset(); }
    // A newly opened library starts a fresh search, and its call texts are read for searching.
    void libraryOpened();
    // The library closed: the dialog goes with it, and the next search starts afresh.
    void closeDialog();

    frmSearchWord* dialog();

private:
    void showMessage(const SearchMessage& message);
    void keepHighlight(bool always);
    // While the call texts are still being read, shows so until they are; false when the user
    // stopped waiting.
    bool waitForIndex();

    Settings& m_settings;
    BrowserState& m_state;
    LibraryOperations& m_library;
    SequenceList& m_sequences;
    CallList& m_calls;
    IBrowserDialogs& m_dialogs;
    QWidget* m_window;
    frmSearchWord* m_dialog = nullptr;
    SearchEngine m_engine;
};
