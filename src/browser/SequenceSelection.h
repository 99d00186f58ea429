#pragma once

#include <QObject>

// The sequence the list has chosen, shared by the panes that follow it. The sequence list
// publishes its current row here; the call list, the position panel and the commands observe it,
// and ask it to step the list when the caller runs off the end of a sequence's calls.
class SequenceSelection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    qint64 sequence() const { return m_sequence; }
    int row() const { return m_row; }
    int count() const { return m_count; }

    // The list's current row changed (or was chosen again).
    void setCurrent(qint64 sequence, int row, int count);
    // The shown sequence moved to another row of the list (a drag), or the list changed its length.
    void setRow(int row, int count);
    // The list was emptied or refilled: no sequence is shown until a row is chosen.
    void clear(int count = 0);
    // Moves the list by delta rows; false when that would leave the list.
    bool step(int delta);

Q_SIGNALS:
    void currentChanged(qint64 sequence, int row, int count);
    void cleared();
    void rowMoved(int row, int count);
    // For the list: make this row current.
    void rowRequested(int row);

private:
    qint64 m_sequence = 0;
    int m_row = -1;
    int m_count = 0;
};
