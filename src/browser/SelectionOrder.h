#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QAbstractItemView;
class QItemSelection;
class QItemSelectionModel;
class QModelIndex;
class SequenceListModel;

// The order in which the caller selected the listed sequences: rows added one at a time (Ctrl and
// a click) in the order of the clicks, a range (Shift and a click or an arrow key) in list order in
// the place of the row it reaches from, and all rows (Ctrl+A) in list order. Printing and the
// spreadsheet take the sequences in this order.
class SelectionOrder : public QObject {
    Q_OBJECT

public:
    SelectionOrder(SequenceListModel& model, QAbstractItemView& view, QObject* parent = nullptr);

    // The selected keys (in list order) in the order they were selected; a key selected before
    // this object saw it keeps its list place after those it saw.
    QList<qint64> ordered(const QList<qint64>& selected) const;

protected:
    // Notes whether Shift is held while a key or a mouse button is down on the view.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void currentRowChanged(const QModelIndex& current);
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void clear();

    SequenceListModel& m_model;
    QItemSelectionModel& m_selection;
    // Each selected key with the count of selections made before it; the rows of a Shift range
    // share one.
    QHash<qint64, qint64> m_rank;
    qint64 m_next = 0;
    // The row a Shift range reaches from: the current row when Shift was last not held.
    int m_anchor = -1;
    bool m_shift = false;
};
