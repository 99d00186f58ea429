#include "SelectionOrder.h"

#include "SequenceListModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <limits>

SelectionOrder::SelectionOrder(SequenceListModel& model, QAbstractItemView& view, QObject* parent)
    : QObject(parent), m_model(model), m_selection(*view.selectionModel()) {
    connect(&m_selection, &QItemSelectionModel::currentRowChanged, this, &SelectionOrder::currentRowChanged);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &SelectionOrder::selectionChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, &SelectionOrder::clear);
    view.installEventFilter(this);
    view.viewport()->installEventFilter(this);
}

bool SelectionOrder::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        m_shift = static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::ShiftModifier);
        break;
    case QEvent::MouseButtonPress:
        m_shift = static_cast<QMouseEvent*>(event)->modifiers().testFlag(Qt::ShiftModifier);
        break;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
        m_shift = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void SelectionOrder::clear() {
    m_rank.clear();
    m_next = 0;
    m_anchor = -1;
}

// The view makes a clicked row current before it changes the selection, so a range taken with
// Shift finds its anchor here.
void SelectionOrder::currentRowChanged(const QModelIndex& current) {
    if (!m_shift) {
        m_anchor = current.row();
    }
}

void SelectionOrder::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom() && row < m_model.rowCount(); ++row) {
            m_rank.remove(m_model.sequenceAt(row));
        }
    }
    qint64 added = 0;
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom() && row < m_model.rowCount(); ++row) {
            const qint64 key = m_model.sequenceAt(row);
            if (!m_rank.contains(key)) {
                m_rank.insert(key, m_next++);
                ++added;
            }
        }
    }
    // Selecting all (Ctrl+A) is one range over the whole list.
    if (added > 1 && m_rank.size() == m_model.rowCount()) {
        for (qint64& rank : m_rank) {
            rank = 0;
        }
        return;
    }
    // A range taken with Shift, from its anchor to the current row, is one selection: its rows
    // keep their list order, in the anchor's place.
    const int current = m_selection.currentIndex().row();
    if (!m_shift || m_anchor < 0 || current < 0 || m_anchor >= m_model.rowCount() || current >= m_model.rowCount()) {
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
