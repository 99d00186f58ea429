#include "SequenceSelection.h"

void SequenceSelection::setCurrent(qint64 sequence, int row, int count) {
    m_sequence = sequence;
    m_row = row;
    m_count = count;
    Q_EMIT currentChanged(sequence, row, count);
}

void SequenceSelection::clear(int count) {
    m_sequence = 0;
    m_row = -1;
    m_count = count;
    Q_EMIT cleared();
}

bool SequenceSelection::step(int delta) {
    const int target = m_row + delta;
    if (m_row < 0 || target < 0 || target >= m_count) {
        return false;
    }
    Q_EMIT rowRequested(target);
    return m_row == target;
}

void SequenceSelection::setRow(int row, int count) {
    m_row = row;
    m_count = count;
    Q_EMIT rowMoved(row, count);
}
