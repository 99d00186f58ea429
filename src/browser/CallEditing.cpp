#include "CallEditing.h"

#include "BrowserState.h"
#include "CallList.h"
#include "DbError.h"
#include "IBrowserDialogs.h"
#include "LibraryOperations.h"
#include "SequenceSelection.h"
#include "Settings.h"
#include "modGeneral.h"
#include "modSystem.h"

namespace {

void logError(const char* procedure, const DbError& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error.info());
}

} // namespace

CallEditing::CallEditing(Settings& settings, BrowserState& state, LibraryOperations& library,
                         SequenceSelection& selection, CallList& calls, IBrowserDialogs& dialogs, QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_library(library), m_selection(selection), m_calls(calls),
      m_dialogs(dialogs) {}

void CallEditing::addRow(int n, int captionKey) {
    if (!m_state.writable || m_state.currentSequence == 0) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(captionKey));
        m_library.insertCall(m_state.currentSequence, n);
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_AddRow", error);
        return;
    }
    m_calls.CreateCallList(m_selection.sequence(), -1);
}

void CallEditing::deleteCallRow(int n) {
    if (!m_state.writable || m_state.currentSequence == 0 || n < 1 || n > m_calls.rowCount()) {
        return;
    }
    // Asked before anything changes, so no lock is held while the question waits. The grid shows
    // the calls in Number order, so its row n - 1 is the n-th call.
    const bool hasText = !m_calls.callText(n - 1).isEmpty();
    if (hasText && !m_dialogs.question(modGeneral::TransMessage(40132))) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10517));
        m_library.deleteCall(m_state.currentSequence, n);
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_DeleteRow", error);
        return;
    }
    m_calls.CreateCallList(m_selection.sequence(), -1);
}

void CallEditing::editCallFormation(int n) {
    try {
        if (m_state.writable && m_state.currentSequence != 0 && m_library.hasCall(m_state.currentSequence, n)) {
            const CallList::CachedCall cached = m_calls.cachedCall(n - 1);
            const std::optional<FormationText> edited =
                m_dialogs.editFormation({cached.figure, cached.note, cached.hexInfo}, m_settings.HexMode);
            if (edited) {
                const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10514));
                m_library.setFormation(m_state.currentSequence, n, edited->figure, edited->note, edited->hexInfo);
                m_calls.setCachedCall(n - 1, {edited->note, edited->figure, edited->hexInfo});
            }
        }
    } catch (const DbError& error) {
        logError("frmVornReader.grdCall_EditFormation", error);
        return;
    }
    m_calls.DisplayCallDetail();
}

void CallEditing::insertCallAtCurrent() {
    addCallRow(m_calls.currentRow() + 1);
}

void CallEditing::addCallAfterCurrent() {
    addRow(m_calls.currentRow() + 2, 10516);
}

void CallEditing::deleteCurrentCall() {
    deleteCallRow(m_calls.currentRow() + 1);
}

void CallEditing::editCurrentFormation() {
    editCallFormation(m_calls.currentRow() + 1);
}
