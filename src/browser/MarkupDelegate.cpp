#include "MarkupDelegate.h"

#include "modGraphics.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>
#include <cmath>

namespace {

// The note line's font: a little smaller than the cell's, upright and not bold.
QFont noteFont(const QFont& font) {
    QFont note = font;
    note.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.85));
    note.setBold(false);
    note.setItalic(false);
    return note;
}

// The height of the one-line call text, with the row margin.
int callLineHeight(const QFont& font, int rowMargin) {
    return QFontMetrics(font).height() + 4 + rowMargin;
}

} // namespace

MarkupDelegate::MarkupDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString MarkupDelegate::noteOf(const QModelIndex& index) const {
    return m_notes ? m_notes(index.row()).simplified() : QString();
}

void MarkupDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // Background, selection and icon as the style draws them; the text through the markup.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    if (m_notes) {
        // One line for the call, cut at the cell's edge; the note under it, shortened to fit.
        const int callHeight = callLineHeight(opt.font, m_rowMargin);
        const QRect callRect(textRect.left(), textRect.top(), textRect.width(), callHeight);
        painter->setClipRect(callRect.intersected(textRect));
        modGraphics::TextOut(*painter, text, callRect.left(), callRect.top(), callRect.right() + 4000,
                             callRect.bottom(), opt.font, m_rowMargin);
        const QString note = noteOf(index);
        if (!note.isEmpty()) {
            const QFont font = noteFont(opt.font);
            QColor colour = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
            colour.setAlphaF(selected ? 0.85f : 0.6f);
            const QRect noteRect = textRect.adjusted(3, callHeight, -3, 0);
            painter->setClipRect(textRect);
            painter->setFont(font);
            painter->setPen(colour);
            painter->drawText(noteRect, Qt::AlignLeft | Qt::AlignTop,
                              QFontMetrics(font).elidedText(note, Qt::ElideRight, noteRect.width()));
        }
        painter->restore();
        return;
    }
    const QRect area = m_wrap ? textRect : textRect.adjusted(0, 0, 4000, 0);
    painter->setClipRect(textRect);
    modGraphics::TextOut(*painter, text, area.left(), area.top(), area.right(), area.bottom(), opt.font, m_rowMargin);
    painter->restore();
}

QSize MarkupDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_notes) {
        const bool noted = !noteOf(index).isEmpty();
        size.setHeight(callLineHeight(option.font, m_rowMargin) +
                       (noted ? QFontMetrics(noteFont(option.font)).height() + 2 : 0));
        return size;
    }
    const QFontMetrics metrics(option.font);
    if (m_wrap) {
        // Measured as paint lays it out: the same text rectangle of the column's width, the same
        // runs and fonts, so a wrapped call is never cut off and never left with a gap.
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        int width = opt.rect.width();
        if (const auto* table = qobject_cast<const QTableView*>(opt.widget)) {
            width = table->columnWidth(index.column());
        }
        opt.rect = QRect(0, 0, std::max(1, width), size.height());
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        QPaintDevice* device = widget ? const_cast<QWidget*>(widget) : nullptr;
        const qreal height = modGraphics::MarkupHeight(index.data(Qt::DisplayRole).toString(), opt.font,
                                                       textRect.width(), device, m_rowMargin);
        size.setHeight(std::max(metrics.height() + 4, static_cast<int>(std::ceil(height)) + 4));
        return size;
    }
    const QString text = modGraphics::RemoveMarkup(index.data(Qt::DisplayRole).toString());
    size.setWidth(metrics.horizontalAdvance(text) + option.decorationSize.width() + 16);
    size.setHeight(size.height() + m_rowMargin);
    return size;
}
