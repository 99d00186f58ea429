#include "SelectionOrder.h"

#include "SequenceListModel.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <algorithm>
#include <limits>

namespace {

bool shiftHeld() {
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace

SelectionOrder::SelectionOrder(SequenceListModel& model, QItemSelectionModel& selection, QObject* parent)
    : QObject(parent), m_model(model), m_selection(selection) {
    connect(&selection, &QItemSelectionModel::currentRowChanged, this, &SelectionOrder::currentRowChanged);
    connect(&selection, &QItemSelectionModel::selectionChanged, this, &SelectionOrder::selectionChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, &SelectionOrder::clear);
}

void SelectionOrder::clear() {
    m_rank.clear();
    m_next = 0;
    m_anchor = -1;
}

// The view makes a clicked row current before it changes the selection, so a range taken with
// Shift finds its anchor here.
void SelectionOrder::currentRowChanged(const QModelIndex& current) {
    if (!shiftHeld()) {
        m_anchor = current.row();
    }
}

void SelectionOrder::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom() && row < m_model.rowCount(); ++row) {
            m_rank.remove(m_model.sequenceAt(row));
        }
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom() && row < m_model.rowCount(); ++row) {
            const qint64 key = m_model.sequenceAt(row);
            if (!m_rank.contains(key)) {
                m_rank.insert(key, m_next++);
            }
        }
    }
    // A range taken with Shift, from its anchor to the current row, is one selection: its rows
    // keep their list order, in the anchor's place.
    const int current = m_selection.currentIndex().row();
    if (!shiftHeld() || m_anchor < 0 || current < 0 || m_anchor >= m_model.rowCount() ||
        current >= m_model.rowCount()) {
        return;
    }
    const auto anchor = m_rank.constFind(m_model.sequenceAt(m_anchor));
    const qint64 rank = anchor != m_rank.constEnd() ? *anchor : m_next++;
    for (int row = std::min(m_anchor, current); row <= std::max(m_anchor, current); ++row) {
        const qint64 key = m_model.sequenceAt(row);
        if (m_rank.contains(key)) {
            m_rank[key] = rank;
        }
    }
}

QList<qint64> SelectionOrder::ordered(const QList<qint64>& selected) const {
    QList<qint64> keys = selected;
    const qint64 unseen = std::numeric_limits<qint64>::max();
    std::stable_sort(keys.begin(), keys.end(),
                     [this, unseen](qint64 a, qint64 b) { return m_rank.value(a, unseen) < m_rank.value(b, unseen); });
    return keys;
}
