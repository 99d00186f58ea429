#pragma once

#include <QStyledItemDelegate>

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

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_rowMargin = 0;
    bool m_wrap = false;
};
