#pragma once

#include <QStyledItemDelegate>
#include <functional>

// Draws a cell's text through the markup renderer, so "{b ...}" and colour tags show as styles,
// beside the cell's icon. Rows grow to the height the wrapped text needs.
class MarkupDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit MarkupDelegate(QObject* parent = nullptr);

    // Extra row height in pixels (the CallRowMargin setting).
    void setRowMargin(int pixels) { m_rowMargin = pixels; }
    // Wrap long texts into taller rows (the call list) or keep one line (the sequence list).
    void setWrap(bool wrap) { m_wrap = wrap; }
    // With a note source, each cell shows its text on one line and, under it in a smaller line,
    // the note of its row (the call list's second variant); without one, the text alone.
    void setNoteSource(std::function<QString(int row)> notes) { m_notes = std::move(notes); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QString noteOf(const QModelIndex& index) const;

    int m_rowMargin = 0;
    bool m_wrap = false;
    std::function<QString(int)> m_notes;
};
