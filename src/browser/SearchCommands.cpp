#include "SearchCommands.h"

#include "BrowserState.h"
#include "CallList.h"
#include "GridView.h"
#include "HistoryViews.h"
#include "IBrowserDialogs.h"
#include "LibraryOperations.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "frmSearchWord.h"
#include "modGeneral.h"

#include <QApplication>

namespace {

// A wait for the call texts this short passes without a word; longer ones show a progress.
constexpr int kQuietWaitMs = 30;
constexpr int kWaitStepMs = 50;

} // namespace

SearchCommands::SearchCommands(Settings& settings, BrowserState& state, LibraryOperations& library,
                               SequenceList& sequences, CallList& calls, IBrowserDialogs& dialogs, QWidget* window,
                               QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_library(library), m_sequences(sequences), m_calls(calls),
      m_dialogs(dialogs), m_window(window) {}

void SearchCommands::libraryOpened() {
    m_engine.Reset();
    m_engine.prepareIndex(m_library.database());
}

bool SearchCommands::waitForIndex() {
    if (!m_engine.indexPreparing(m_library.database()) || m_engine.waitForIndex(kQuietWaitMs)) {
        return true;
    }
    std::unique_ptr<IProgress> progress = m_dialogs.progress();
    progressLabel(progress.get(), modGeneral::LoadTransString(20912, QStringLiteral("Preparing the search...")));
    while (!m_engine.waitForIndex(kWaitStepMs)) {
        if (!progressStep(progress.get(), 0, 0)) {
            return false;
        }
    }
    return true;
}

void SearchCommands::closeDialog() {
    m_engine.Reset();
    m_engine.clearIndex();
    if (m_dialog && m_dialog->isVisible()) {
        m_dialog->close();
    }
}

frmSearchWord* SearchCommands::dialog() {
    if (!m_dialog) {
        m_dialog = new frmSearchWord(m_window);
        connect(m_dialog, &frmSearchWord::searchNext, this, [this] {
            SearchWord(false, m_dialog->findText(), m_dialog->replaceText(), m_dialog->compareMode(),
                       m_dialog->direction());
        });
        connect(m_dialog, &frmSearchWord::replaceOne, this, [this] {
            SearchWord(true, m_dialog->findText(), m_dialog->replaceText(), m_dialog->compareMode(),
                       m_dialog->direction());
        });
        connect(m_dialog, &frmSearchWord::replaceAll, this,
                [this] { ReplaceWordAll(m_dialog->findText(), m_dialog->replaceText(), m_dialog->compareMode()); });
        connect(m_dialog, &frmSearchWord::activeChanged, this, &SearchCommands::keepHighlight);
    }
    return m_dialog;
}

void SearchCommands::showSearch() {
    dialog()->setReplaceAllowed(m_state.writable);
    dialog()->setReplaceMode(false);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void SearchCommands::showReplace() {
    dialog()->setReplaceAllowed(m_state.writable);
    dialog()->setReplaceMode(true);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

// While the dialog is open the current match stays highlighted in the call grid, although the
// dialog has the focus.
void SearchCommands::keepHighlight(bool always) {
    GridView* grid = m_calls.grid();
    QPalette palette = grid->palette();
    const QPalette::ColorGroup from = always ? QPalette::Active : QPalette::Inactive;
    if (always) {
        m_calls.grid()->setProperty("vornInactiveHighlight", palette.color(QPalette::Inactive, QPalette::Highlight));
        m_calls.grid()->setProperty("vornInactiveHighlightedText",
                                    palette.color(QPalette::Inactive, QPalette::HighlightedText));
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(from, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(from, QPalette::HighlightedText));
    } else if (grid->property("vornInactiveHighlight").isValid()) {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         grid->property("vornInactiveHighlight").value<QColor>());
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         grid->property("vornInactiveHighlightedText").value<QColor>());
    }
    grid->setPalette(palette);
}

void SearchCommands::showMessage(const SearchMessage& message) {
    if (message.key == 0) {
        return;
    }
    const QString text = modGeneral::TransMessage(message.key, message.arguments);
    if (message.icon == SearchMessage::Icon::Information) {
        m_dialogs.information(text);
    } else {
        m_dialogs.exclamation(text);
    }
}

bool SearchCommands::SearchWord(bool replaceFlag, const QString& findText, const QString& replaceText, int compareMode,
                                int direction) {
    if (replaceFlag && !m_state.writable) {
        return false;
    }
    if (!waitForIndex()) {
        return false;
    }
    const SearchContext context{m_settings.ViewLevel, m_settings.SequenceSort, m_state.currentSequence,
                                std::max(0, m_calls.currentRow()),
                                HistoryViews::listFilter(m_settings, QDate::currentDate())};
    const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10527));
    const SearchResult result =
        m_engine.SearchWord(m_library.database(), context, replaceFlag, findText, replaceText, compareMode, direction);
    if (result.hasMatch) {
        const int row = m_sequences.model()->rowOf(result.sequence);
        if (row < 0) {
            m_calls.CreateCallList(result.startSequence, result.startRow);
        } else if (row != m_sequences.currentRow()) {
            m_state.pendingCallRow = result.callRow;
            m_sequences.setCurrentRow(row);
            QApplication::processEvents();
        } else {
            m_calls.CreateCallList(result.sequence, result.callRow);
        }
    }
    showMessage(result.message);
    return result.matchShown;
}

void SearchCommands::ReplaceWordAll(const QString& findText, const QString& replaceText, int compareMode) {
    if (!m_state.writable) {
        return;
    }
    if (!waitForIndex()) {
        return;
    }
    LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10528));
    std::unique_ptr<IProgress> progress = m_dialogs.progress();
    const ReplaceAllResult result = m_engine.ReplaceWordAll(
        m_library.database(), m_settings.ViewLevel, findText, replaceText, compareMode,
        [this](int count) { return m_dialogs.question(modGeneral::TransCount(40504, 40508, count)); }, progress.get(),
        HistoryViews::listFilter(m_settings, QDate::currentDate()));
    progress.reset();
    if (result.replaced) {
        QApplication::processEvents();
        m_calls.CreateCallList(m_sequences.currentSequence(), m_state.pendingCallRow);
    }
    showMessage(result.message);
}
