#include "UndoHistory.h"

#include "DbError.h"
#include "LibraryUndo.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QUndoStack>
#include <optional>

// One recorded change. Its first redo is the change itself, already made when it is pushed; a
// step that failed leaves the next move of the stack to put the index back without touching the
// library.
class UndoHistory::Change final : public QUndoCommand {
public:
    Change(LibraryUndo& undo, qint64 change, const QString& caption)
        : QUndoCommand(caption), m_undo(undo), m_change(change) {}

    qint64 change() const { return m_change; }
    const std::optional<ErrorInfo>& failure() const { return m_failure; }
    void skipNext() {
        m_skip = true;
        m_failure.reset();
    }

    void undo() override { run(false); }
    void redo() override { run(true); }

private:
    void run(bool forward) {
        if (m_skip) {
            m_skip = false;
            return;
        }
        try {
            if (forward) {
                m_undo.redo(m_change);
            } else {
                m_undo.undo(m_change);
            }
        } catch (const DbError& error) {
            m_failure = error.info();
        }
    }

    LibraryUndo& m_undo;
    qint64 m_change;
    bool m_skip = true;
    std::optional<ErrorInfo> m_failure;
};

UndoHistory::UndoHistory(LibraryUndo& undo, QObject* parent)
    : QObject(parent), m_undo(undo), m_stack(new QUndoStack(this)) {
    m_stack->setObjectName(QStringLiteral("undoStack"));
    m_undo.setRecorded([this](qint64 change, const QString& caption) { recorded(change, caption); });
}

void UndoHistory::recorded(qint64 change, const QString& caption) {
    // The changes that could have been redone are gone for good, and so are their rows.
    for (int i = m_stack->index(); i < m_stack->count(); ++i) {
        m_undo.forget(static_cast<const Change*>(m_stack->command(i))->change());
    }
    m_stack->push(new Change(m_undo, change, caption));
}

QString UndoHistory::undoCaption() const {
    return m_stack->canUndo() ? modGeneral::MessageFormat(modGeneral::LoadTransString(10506), {m_stack->undoText()})
                              : modGeneral::LoadTransString(10508);
}

QString UndoHistory::redoCaption() const {
    return m_stack->canRedo() ? modGeneral::MessageFormat(modGeneral::LoadTransString(10507), {m_stack->redoText()})
                              : modGeneral::LoadTransString(10509);
}

void UndoHistory::undo() {
    step(true);
}

void UndoHistory::redo() {
    step(false);
}

void UndoHistory::step(bool back) {
    if (back ? !m_stack->canUndo() : !m_stack->canRedo()) {
        return;
    }
    const int index = back ? m_stack->index() - 1 : m_stack->index();
    auto* change = static_cast<Change*>(const_cast<QUndoCommand*>(m_stack->command(index)));
    if (back) {
        m_stack->undo();
    } else {
        m_stack->redo();
    }
    if (const std::optional<ErrorInfo> failure = change->failure()) {
        change->skipNext();
        if (back) {
            m_stack->redo();
        } else {
            m_stack->undo();
        }
        modSystem::WriteErrorLog(back ? QStringLiteral("frmVornReader.mnuEditUndo_Click")
                                      : QStringLiteral("frmVornReader.mnuEditRedo_Click"),
                                 *failure);
        return;
    }
    Q_EMIT restored();
}

void UndoHistory::clear() {
    m_undo.clear();
    m_stack->clear();
}

QString UndoHistory::counted(int keyMany, int keyOne, qsizetype count) {
    return count == 1 ? modGeneral::LoadTransString(keyOne)
                      : modGeneral::MessageFormat(modGeneral::LoadTransString(keyMany), {QVariant::fromValue(count)});
}
