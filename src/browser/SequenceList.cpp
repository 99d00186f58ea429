#include "SequenceList.h"

#include "BrowserState.h"
#include "CallList.h"
#include "ColourMap.h"
#include "Database.h"
#include "DbError.h"
#include "GridView.h"
#include "MarkupDelegate.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "Transaction.h"
#include "modSystem.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

SequenceList::SequenceList(Settings& settings, BrowserState& state, Database& db, QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_db(db) {
    m_view = new GridView(QStringLiteral("grdSeqList"));
    m_model = new SequenceListModel(this);
    m_view->setModel(m_model);
    m_delegate = new MarkupDelegate(this);
    m_view->setItemDelegateForColumn(SequenceListModel::TitleColumn, m_delegate);
    for (int column = 1; column < SequenceListModel::ColumnCount; ++column) {
        m_view->setColumnHidden(column, true);
    }
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->setWordWrap(false);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setDragEnabled(true);
    m_view->setAcceptDrops(true);
    m_view->setDragDropMode(QAbstractItemView::DragDrop);
    m_view->setDefaultDropAction(Qt::MoveAction);
    m_view->setDropIndicatorShown(true);
    m_view->installEventFilter(this);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    RowColChange(current.row());
                }
            });
    connect(m_model, &SequenceListModel::titleEdited, this, &SequenceList::grdSeqList_ValidateEdit);
    connect(m_model, &SequenceListModel::rowsDropped, this, &SequenceList::BeforeMoveRow);
    connect(m_model, &SequenceListModel::filesDropped, this, &SequenceList::filesDropped);
    connect(m_view, &GridView::editStarted, this, [this] { m_state.cellEdit = true; });
    connect(m_view, &GridView::editFinished, this, [this] { m_state.cellEdit = false; });
    connect(m_view, &GridView::rightClicked, this, &SequenceList::menuRequested);
}

void SequenceList::applySettings() {
    ColourMap::applyGridLook(m_view, m_settings.seqFont, m_settings.SeqForeColor, m_settings.SeqBackColor,
                             m_settings.SeqForeColorSel, m_settings.SeqBackColorSel);
    m_view->verticalHeader()->setDefaultSectionSize(std::max(QFontMetrics(m_view->font()).height() + 6, 20));
}

void SequenceList::clear() {
    m_model->clear();
    if (m_calls) {
        m_calls->clearView();
    }
}

void SequenceList::CreateList(const QString& viewLevel) {
    m_state.listFilling = true;
    try {
        {
            QSignalBlocker block(m_view->selectionModel());
            m_model->load(m_db, viewLevel, m_settings.SequenceSort);
        }
        const int level = m_state.levelIndex;
        const int saved = (level >= 0 && level < ViewLevelMax) ? m_settings.ViewIndex[level] : 0;
        if (m_calls) {
            m_calls->clearView();
        }
        const int rows = m_model->rowCount();
        if (rows > 0) {
            const int row = (saved > 0 && saved <= rows) ? saved - 1 : (saved > rows ? rows - 1 : 0);
            const QModelIndex index = m_model->index(row, SequenceListModel::TitleColumn);
            {
                QSignalBlocker block(m_view->selectionModel());
                m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                     QItemSelectionModel::Rows);
            }
            RowColChange(row);
            m_view->scrollTo(index);
        }
        if (m_calls) {
            m_calls->grid()->setFocus();
        }
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.CreateList"), error.info());
    }
    Q_EMIT captionChanged();
    m_state.listFilling = false;
}

void SequenceList::RowColChange(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    m_state.cellEdit = false;
    if (m_calls) {
        m_calls->CreateCallList(m_model->sequenceAt(row), m_state.pendingCallRow);
    }
    m_state.pendingCallRow = -1;
    if (m_state.levelIndex >= 0 && m_state.levelIndex < ViewLevelMax) {
        m_settings.ViewIndex[m_state.levelIndex] = row + 1;
    }
}

void SequenceList::grdSeqList_ValidateEdit(int row, const QString& title) {
    try {
        Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET Title = ? WHERE Sequence = ?"));
        update.bind(1, title).bind(2, m_model->sequenceAt(row));
        update.run();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.grdSeqList_ValidateEdit"), error.info());
    }
}

void SequenceList::BeforeMoveRow(int draggedRow, int position) {
    const int rows = m_model->rowCount();
    QList<int> selected;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        selected.append(index.row());
    }
    if (!selected.contains(draggedRow)) {
        selected = {draggedRow};
    }
    std::sort(selected.begin(), selected.end());
    position = std::clamp(position, 0, rows);
    QList<int> rest;
    for (int r = 0; r < rows; ++r) {
        if (!selected.contains(r)) {
            rest.append(r);
        }
    }
    const auto before = std::count_if(selected.begin(), selected.end(), [position](int r) { return r < position; });
    const qsizetype insertAt = position - before;
    QList<int> order = rest.mid(0, insertAt);
    order.append(selected);
    order.append(rest.mid(insertAt));
    m_model->reorder(order);
    RenumberSequenceOrder();
}

void SequenceList::RenumberSequenceOrder() {
    try {
        Transaction transaction(m_db);
        Statement update = m_db.prepare(QStringLiteral("UPDATE tblSequence SET OrderNo = ? WHERE Sequence = ?"));
        for (int r = 0; r < m_model->rowCount(); ++r) {
            update.bind(1, r + 1).bind(2, m_model->sequenceAt(r));
            update.run();
        }
        transaction.commit();
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.RenumberSequenceOrder"), error.info());
    }
}

int SequenceList::currentRow() const {
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int SequenceList::rowCount() const {
    return m_model->rowCount();
}

void SequenceList::setCurrentRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    const QModelIndex index = m_model->index(row, SequenceListModel::TitleColumn);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
}

qint64 SequenceList::currentSequence() const {
    const int row = currentRow();
    return row >= 0 ? m_model->sequenceAt(row) : 0;
}

QList<qint64> SequenceList::selectedSequences() const {
    QList<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QList<qint64> keys;
    for (const int row : rows) {
        keys.append(m_model->sequenceAt(row));
    }
    return keys;
}

bool SequenceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress && !m_view->isEditing()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_view->editCurrent();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            // The next sequence opens at its first call.
            if (m_state.levelIndex >= 0 && m_state.levelIndex < ViewLevelMax) {
                m_settings.ViewRow[m_state.levelIndex] = 0;
            }
            break;
        case Qt::Key_Right:
            if (m_calls) {
                m_calls->grid()->setFocus();
            }
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
