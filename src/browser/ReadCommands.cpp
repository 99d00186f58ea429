#include "ReadCommands.h"

#include "IBrowserDialogs.h"
#include "ISeqTextHost.h"
#include "LibraryCommands.h"
#include "LibraryOperations.h"
#include "LibrarySession.h"
#include "SequenceImport.h"
#include "SequenceList.h"
#include "Settings.h"
#include "UndoHistory.h"
#include "modGeneral.h"
#include "modSeqText.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <algorithm>

ReadCommands::ReadCommands(Settings& settings, LibraryCommands& libraryCommands, LibraryOperations& library,
                           SequenceList& sequences, IBrowserDialogs& dialogs, std::function<void()> refreshPanes,
                           QObject* parent)
    : QObject(parent), m_settings(settings), m_libraryCommands(libraryCommands), m_session(libraryCommands.session()),
      m_library(library), m_sequences(sequences), m_dialogs(dialogs), m_refreshPanes(std::move(refreshPanes)) {}

namespace {

// The reader's surroundings in the window: the settings, the clipboard, the refreshed panes and
// the report box.
class WindowReaderHost final : public ISeqTextHost {
public:
    WindowReaderHost(Settings& settings, IBrowserDialogs& dialogs, const std::function<void()>& refreshPanes)
        : m_settings(settings), m_dialogs(dialogs), m_refreshPanes(refreshPanes) {}

    QString author() const override { return m_settings.Author; }
    bool seqDateSave() const override { return m_settings.SeqDateSave; }
    QString clipboardText() const override { return QGuiApplication::clipboard()->text(); }
    QString transString(int key, const QString& def) const override { return modGeneral::LoadTransString(key, def); }
    void refreshAfterRead() override { m_refreshPanes(); }
    void showReadReport(const QString& message) override { m_dialogs.information(message); }
    void showReadFailure(const QString& message) override { m_dialogs.exclamation(message); }

private:
    Settings& m_settings;
    IBrowserDialogs& m_dialogs;
    const std::function<void()>& m_refreshPanes;
};

} // namespace

void ReadCommands::readSequenceText(const QString& source, bool fromClipboard, qint32 insertPosition,
                                    IProgress* progress) {
    if (!m_session.isOpen()) {
        return;
    }
    if (m_session.isReadOnly()) {
        m_dialogs.exclamation(
            modGeneral::TransMessage(40107, {m_settings.MdbPath + QLatin1Char('/') + m_settings.MdbFile}));
        return;
    }
    WindowReaderHost host(m_settings, m_dialogs, m_refreshPanes);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        // Undoing a read removes what it added: the sequences with their calls and history.
        LibraryUndo::Step step(m_library.undo(), QString());
        const int added =
            modSeqText::ReadSequenceText(m_session.database(), source, fromClipboard, insertPosition, host, progress);
        step.setCaption(fromClipboard ? UndoHistory::counted(10529, 10530, added)
                                      : UndoHistory::counted(10531, 10532, added));
    }
    QApplication::restoreOverrideCursor();
}

void ReadCommands::readSequenceFile() {
    const QStringList files =
        m_dialogs.openFiles(modGeneral::LoadTransString(30103), m_settings.SeqPath, modGeneral::LoadTransString(30112));
    if (files.isEmpty()) {
        return;
    }
    m_settings.SeqPath = QFileInfo(files.front()).absolutePath();
    // One progress for all the files: Cancel ends the command, not only the file being read.
    const std::unique_ptr<IProgress> progress = m_dialogs.progress();
    for (const QString& file : files) {
        readSequenceText(file, false, -1, progress.get());
        if (progress && progress->cancelled()) {
            break;
        }
    }
}

void ReadCommands::pasteSequences() {
    readSequenceText(QString(), true, m_sequences.currentRow() + 1, m_dialogs.progress().get());
}

void ReadCommands::openDroppedFiles(const QStringList& files) {
    // The first library opens; every other file is generator text, read as File > Read reads it.
    // Without an open library such a file is refused as no database.
    const auto isLibrary = [](const QString& file) {
        return file.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive);
    };
    const auto library = std::find_if(files.cbegin(), files.cend(), isLibrary);
    if (library != files.cend()) {
        m_libraryCommands.OpenSequenceMdbFile(*library, QString());
    }
    std::unique_ptr<IProgress> progress;
    for (const QString& file : files) {
        if (isLibrary(file)) {
            continue;
        }
        if (!m_session.isOpen()) {
            m_libraryCommands.OpenSequenceMdbFile(file, QString());
            return;
        }
        if (!progress) {
            progress = m_dialogs.progress();
        }
        readSequenceText(file, false, -1, progress.get());
        if (progress && progress->cancelled()) {
            return;
        }
    }
}
