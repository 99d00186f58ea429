#include "MarkupDelegate.h"

#include "modGraphics.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>

MarkupDelegate::MarkupDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

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
    const QRect area = m_wrap ? textRect : textRect.adjusted(0, 0, 4000, 0);
    painter->setClipRect(textRect);
    modGraphics::TextOut(*painter, text, area.left(), area.top(), area.right(), area.bottom(), opt.font, m_rowMargin);
    painter->restore();
}

QSize MarkupDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString text = modGraphics::RemoveMarkup(index.data(Qt::DisplayRole).toString());
    const QFontMetrics metrics(option.font);
    if (m_wrap) {
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        int width = option.rect.width();
        if (view && width <= 0) {
            if (const auto* table = qobject_cast<const QTableView*>(view)) {
                width = table->columnWidth(index.column());
            }
        }
        width = std::max(40, width - 8);
        const QRect bounds = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text);
        size.setHeight(std::max(size.height(), bounds.height() + 4));
    } else {
        size.setWidth(metrics.horizontalAdvance(text) + option.decorationSize.width() + 16);
    }
    size.setHeight(size.height() + m_rowMargin);
    return size;
}
