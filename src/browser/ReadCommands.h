#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class IBrowserDialogs;
class IProgress;
class LibraryOperations;
class LibraryCommands;
class LibrarySession;
class SequenceList;
struct Settings;

// File > Read, Edit > Paste and files dropped on the window: generator text into the open
// library, each run with its progress and recorded as one change for undo.
class ReadCommands : public QObject {
    Q_OBJECT

public:
    // refreshPanes: the level menu and the list after a run.
    ReadCommands(Settings& settings, LibraryCommands& libraryCommands, LibraryOperations& library,
                 SequenceList& sequences, IBrowserDialogs& dialogs, std::function<void()> refreshPanes,
                 QObject* parent);

    void readSequenceFile();
    void pasteSequences();
    // A library among the files opens; generator files are read into the library.
    void openDroppedFiles(const QStringList& files);

private:
    void readSequenceText(const QString& source, bool fromClipboard, qint32 insertPosition, IProgress* progress);

    Settings& m_settings;
    LibraryCommands& m_libraryCommands;
    LibrarySession& m_session;
    LibraryOperations& m_library;
    SequenceList& m_sequences;
    IBrowserDialogs& m_dialogs;
    std::function<void()> m_refreshPanes;
};
