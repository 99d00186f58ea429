#include "GridView.h"

#include <QHeaderView>
#include <QMouseEvent>

GridView::GridView(const QString& name, QWidget* parent) : QTableView(parent) {
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void GridView::editCurrent() {
    if (currentIndex().isValid()) {
        QTableView::edit(currentIndex());
    }
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!m_editable) {
        return false;
    }
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && state() == EditingState) {
        Q_EMIT editStarted();
    }
    return opened;
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    Q_EMIT editFinished();
}

void GridView::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mouseButtonChanged(static_cast<int>(event->button()));
    QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT mouseButtonChanged(0);
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        Q_EMIT rightClicked(event->globalPosition().toPoint());
    }
}
