#include "SequenceList.h"

#include "BrowserState.h"
#include "ColourMap.h"
#include "Database.h"
#include "DbError.h"
#include "GridView.h"
#include "LibraryOperations.h"
#include "MarkupDelegate.h"
#include "SequenceListModel.h"
#include "SequenceSelection.h"
#include "Settings.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

SequenceList::SequenceList(Settings& settings, BrowserState& state, Database& db, LibraryOperations& library,
                           SequenceSelection& selection, QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_db(db), m_library(library), m_selection(selection) {
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
    connect(m_model, &SequenceListModel::titleEdited, this, &SequenceList::validateSequenceEdit);
    connect(m_model, &SequenceListModel::rowsDropped, this, &SequenceList::BeforeMoveRow);
    connect(m_model, &SequenceListModel::filesDropped, this, &SequenceList::filesDropped);
    connect(m_view, &GridView::editStarted, this, [this] { m_state.cellEdit = true; });
    connect(m_view, &GridView::editFinished, this, [this] { m_state.cellEdit = false; });
    connect(m_view, &GridView::rightClicked, this, &SequenceList::menuRequested);
    connect(&m_selection, &SequenceSelection::rowRequested, this, &SequenceList::setCurrentRow);
}

void SequenceList::applySettings() {
    ColourMap::applyGridLook(m_view, m_settings.seqFont, m_settings.SeqForeColor, m_settings.SeqBackColor,
                             m_settings.SeqForeColorSel, m_settings.SeqBackColorSel);
    m_view->verticalHeader()->setDefaultSectionSize(std::max(QFontMetrics(m_view->font()).height() + 6, 20));
}

void SequenceList::setWritable(bool writable) {
    m_model->setWritable(writable);
    m_view->setEditable(writable);
    m_view->setDragEnabled(writable);
}

void SequenceList::clear() {
    m_model->clear();
    m_selection.clear();
}

void SequenceList::CreateList(const QString& viewLevel,
                              const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor) {
    m_state.listFilling = true;
    try {
        {
            QSignalBlocker block(m_view->selectionModel());
            m_model->load(m_db, viewLevel, m_settings.SequenceSort, notCalledFor);
        }
        const int level = m_state.levelIndex;
        const int saved = (level >= 0 && level < ViewLevelMax) ? m_settings.ViewIndex[level] : 0;
        const int rows = m_model->rowCount();
        // Until a row is chosen no sequence is shown: a command can never act on one that is
        // no longer listed.
        m_selection.clear(rows);
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
        Q_EMIT callsFocusRequested();
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
    m_selection.setCurrent(m_model->sequenceAt(row), row, m_model->rowCount());
    m_state.pendingCallRow = -1;
    rememberRow(row);
}

void SequenceList::rememberRow(int row) {
    if (m_state.levelIndex >= 0 && m_state.levelIndex < ViewLevelMax) {
        m_settings.ViewIndex[m_state.levelIndex] = row + 1;
    }
}

void SequenceList::validateSequenceEdit(int row, const QString& title) {
    if (!m_state.writable) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10511));
        m_library.setTitle(m_model->sequenceAt(row), title);
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.grdSeqList_ValidateEdit"), error.info());
    }
}

void SequenceList::BeforeMoveRow(int draggedRow, int position) {
    const int rows = m_model->rowCount();
    if (!m_state.writable || draggedRow < 0 || draggedRow >= rows) {
        return;
    }
    QList<int> selected = selectedRows();
    if (!std::binary_search(selected.begin(), selected.end(), draggedRow)) {
        selected = {draggedRow};
    }
    position = std::clamp(position, 0, rows);
    QList<bool> moving(rows, false);
    for (const int r : std::as_const(selected)) {
        moving[r] = true;
    }
    QList<int> rest;
    for (int r = 0; r < rows; ++r) {
        if (!moving[r]) {
            rest.append(r);
        }
    }
    const auto before = std::count_if(selected.begin(), selected.end(), [position](int r) { return r < position; });
    const qsizetype insertAt = position - before;
    QList<int> order = rest.mid(0, insertAt);
    order.append(selected);
    order.append(rest.mid(insertAt));
    m_model->reorder(order);
    {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10526));
        RenumberSequenceOrder();
    }
    // The shown sequence moved with its block: its remembered position and the position panel
    // follow it.
    const int current = currentRow();
    if (current >= 0) {
        rememberRow(current);
        m_selection.setRow(current, m_model->rowCount());
    }
}

void SequenceList::RenumberSequenceOrder() {
    try {
        m_library.renumberOrder(m_model->sequences());
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

QList<int> SequenceList::selectedRows() const {
    // Walked range by range: a selection of all 100,000 rows is one range, not 100,000 indexes.
    QList<int> rows;
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            rows.append(r);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QList<qint64> SequenceList::selectedSequences() const {
    QList<qint64> keys;
    for (const int row : selectedRows()) {
        keys.append(m_model->sequenceAt(row));
    }
    return keys;
}

void SequenceList::showState(const QList<int>& rows, int state) {
    m_model->setProperties(rows, state);
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
            Q_EMIT callsFocusRequested();
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
