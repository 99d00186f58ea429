#include "CallList.h"

#include "ColourMap.h"

#include "BrowserState.h"
#include "DbError.h"
#include "FigureDiagram.h"
#include "FigureView.h"
#include "GridView.h"
#include "LibraryOperations.h"
#include "MarkupDelegate.h"
#include "SequenceSelection.h"
#include "Settings.h"
#include "modGeneral.h"
#include "modSystem.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

QString noCrLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

} // namespace

CallList::CallList(Settings& settings, BrowserState& state, LibraryOperations& library, SequenceSelection& selection,
                   QObject* parent)
    : QObject(parent), m_settings(settings), m_state(state), m_library(library), m_selection(selection) {
    buildMiddle();
    buildRight();
    m_notePanel = label(QStringLiteral("stbCallNote(1)"), QString(), nullptr);
    m_positionPanel = label(QStringLiteral("stbCallNote(2)"), QString(), nullptr);
    resetHeader();
    connect(&m_selection, &SequenceSelection::currentChanged, this, [this](qint64 sequence, int row, int count) {
        CreateCallList(sequence, m_state.pendingCallRow);
        showPosition(row, count);
    });
    connect(&m_selection, &SequenceSelection::rowMoved, this, &CallList::showPosition);
    connect(&m_selection, &SequenceSelection::cleared, this, [this] {
        m_state.currentSequence = 0;
        clearView();
    });
}

void CallList::showPosition(int row, int count) {
    m_positionPanel->setText(QStringLiteral("%1 / %2").arg(row + 1).arg(count));
}

void CallList::setHint(const QString& text) {
    // The hint stands in the place of the (empty) call grid.
    m_hint->setText(text);
    m_hint->setVisible(!text.isEmpty());
    m_grid->setVisible(text.isEmpty());
}

void CallList::buildMiddle() {
    m_middle = new QWidget;
    m_middle->setObjectName(QStringLiteral("picFrame2"));
    auto* layout = new QVBoxLayout(m_middle);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* header = new QWidget(m_middle);
    header->setObjectName(QStringLiteral("picHeader"));
    // The sequence's frame on top; the window puts the player's line below it, so a narrow
    // middle pane still shows every label.
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(header);
    frame->setObjectName(QStringLiteral("fraLevel"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->setContentsMargins(8, 4, 8, 4);
    frameLayout->setHorizontalSpacing(12);
    m_level = label(QStringLiteral("lblLevel"), QString(), frame);
    QFont big = m_level->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    m_level->setFont(big);
    m_level->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("C4A")) + 8);
    m_date = label(QStringLiteral("lblDate"), QString(), frame);
    m_time = label(QStringLiteral("lblTime"), QString(), frame);
    m_author = label(QStringLiteral("lblAuthor"), QString(), frame);
    frameLayout->addWidget(m_level, 0, 0, 2, 1);
    frameLayout->addWidget(m_date, 0, 1);
    frameLayout->addWidget(m_time, 0, 2);
    frameLayout->addWidget(m_author, 1, 1, 1, 2);
    frameLayout->setColumnStretch(3, 1);
    headerLayout->addWidget(frame);
    layout->addWidget(header);

    m_hint = label(QStringLiteral("lblCallHint"), QString(), m_middle);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setVisible(false);
    m_hint->setContentsMargins(24, 24, 24, 24);
    m_hint->setAutoFillBackground(true);
    m_hint->setBackgroundRole(QPalette::Base);
    m_hint->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_hint, 1);

    m_grid = new GridView(QStringLiteral("grdCall"), m_middle);
    m_calls = new QStandardItemModel(0, 2, this);
    m_grid->setModel(m_calls);
    m_callDelegate = new MarkupDelegate(this);
    m_callDelegate->setWrap(true);
    m_grid->setItemDelegateForColumn(1, m_callDelegate);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setAcceptDrops(true);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    layout->addWidget(m_grid, 1);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { callRowChanged(); });
    // The number column never becomes current: a click on it lands on the call beside it.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && current.column() == 0) {
            m_grid->selectionModel()->setCurrentIndex(m_calls->index(current.row(), 1),
                                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    });
    // Wrapped calls need other row heights whenever the pane's width changes; a drag of the split
    // bar resizes the column many times, so the rows are measured once it rests.
    auto* remeasure = new QTimer(this);
    remeasure->setSingleShot(true);
    remeasure->setInterval(0);
    connect(remeasure, &QTimer::timeout, this, [this] { m_grid->resizeRowsToContents(); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [remeasure](int section) {
        if (section == 1) {
            remeasure->start();
        }
    });
    connect(m_grid, &GridView::editStarted, this, [this] { m_state.cellEdit = true; });
    connect(m_grid, &GridView::editFinished, this, [this] {
        m_state.cellEdit = false;
        autoSizeCallGrid();
    });
    connect(m_calls, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (!m_state.listFilling && item->column() == 1) {
            validateCallEdit(item->row(), item->text());
        }
    });
    connect(m_grid, &GridView::mouseButtonChanged, this, [this](int button) { m_state.callGridButton = button; });
    connect(m_grid, &GridView::rightClicked, this, &CallList::callMenuRequested);
}

void CallList::buildRight() {
    m_right = new QWidget;
    m_right->setObjectName(QStringLiteral("picFrame3"));
    auto* layout = new QVBoxLayout(m_right);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (int i = 0; i < 2; ++i) {
        m_hex[i] = new GridView(QStringLiteral("grdHexInfo(%1)").arg(i), m_right);
        m_hexModel[i] = new QStandardItemModel(1, 1, this);
        m_hex[i]->setModel(m_hexModel[i]);
        m_hex[i]->horizontalHeader()->setStretchLastSection(true);
        m_hex[i]->setFixedHeight(m_hex[i]->fontMetrics().height() + 10);
        m_hex[i]->setVisible(false);
        m_hex[i]->installEventFilter(this);
        connect(m_hexModel[i], &QStandardItemModel::itemChanged, this, [this, i](QStandardItem* item) {
            if (!m_settingHex) {
                validateHexInfoEdit(i, item->text());
            }
        });
        connect(m_hex[i], &GridView::editFinished, this,
                [this] { m_state.cellEdit = m_hex[0]->hasFocus() || m_hex[1]->hasFocus(); });
    }
    auto* figure = new QWidget(m_right);
    figure->setObjectName(QStringLiteral("picFigure"));
    auto* figureLayout = new QVBoxLayout(figure);
    figureLayout->setContentsMargins(0, 0, 0, 0);
    figureLayout->setSpacing(2);
    m_before = new FigureView(QStringLiteral("picBeforeFig"), figure);
    m_after = new FigureView(QStringLiteral("picAfterFig"), figure);
    figureLayout->addWidget(m_hex[0]);
    figureLayout->addWidget(label(QStringLiteral("lblBeforeFig"), QStringLiteral(" Before"), figure));
    figureLayout->addWidget(m_before, 1);
    figureLayout->addWidget(m_hex[1]);
    figureLayout->addWidget(label(QStringLiteral("lblAfterFig"), QStringLiteral(" After"), figure));
    figureLayout->addWidget(m_after, 1);
    layout->addWidget(figure, 3);

    m_history = new GridView(QStringLiteral("grdHistory"), m_right);
    m_historyModel = new QStandardItemModel(0, 3, this);
    m_history->setModel(m_historyModel);
    m_history->horizontalHeader()->show();
    m_history->horizontalHeader()->setHighlightSections(false);
    m_history->setColumnHidden(2, true);
    m_history->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_history->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_history->installEventFilter(this);
    connect(m_history, &GridView::editStarted, this, [this] { m_state.cellEdit = true; });
    connect(m_history, &GridView::editFinished, this, [this] {
        m_state.cellEdit = false;
        m_history->resizeColumnToContents(0);
    });
    connect(m_history, &GridView::rightClicked, this, &CallList::historyMenuRequested);
    m_history->horizontalHeader()->setStretchLastSection(true);
    m_history->setAcceptDrops(true);
    layout->addWidget(m_history, 2);
}

void CallList::applySettings() {
    m_historyModel->setHorizontalHeaderLabels({modGeneral::LoadTransString(20602, QStringLiteral("Call date")),
                                               modGeneral::LoadTransString(20603, QStringLiteral("Party name")),
                                               QString()});
    ColourMap::applyGridLook(m_grid, m_settings.callFont, m_settings.CallForeColor, m_settings.CallBackColor,
                             m_settings.CallForeColorSel, m_settings.CallBackColorSel);
    m_callDelegate->setRowMargin(m_settings.CallRowMargin);
    // The grid's variant: 0 wraps long calls into taller rows, 1 shows each call on one line with
    // its note under it; other values leave the grid as it is.
    if (m_settings.PartFormat == 0) {
        m_callDelegate->setWrap(true);
        m_callDelegate->setNoteSource(nullptr);
    } else if (m_settings.PartFormat == 1) {
        m_callDelegate->setWrap(false);
        m_callDelegate->setNoteSource([this](int row) { return m_cache.value(row).note; });
    }
    autoSizeCallGrid();
}

void CallList::setWritable(bool writable) {
    for (GridView* grid : {m_grid, m_hex[0], m_hex[1], m_history}) {
        grid->setEditable(writable);
    }
}

QString CallList::levelCaption() const {
    return m_level->text();
}

void CallList::resetHeader() {
    m_level->clear();
    m_date->setText(QStringLiteral("0000/00/00"));
    m_time->setText(QStringLiteral("00:00:00"));
    m_author->setText(QStringLiteral("Author"));
    m_notePanel->clear();
    m_positionPanel->clear();
}

void CallList::clearView() {
    m_calls->removeRows(0, m_calls->rowCount());
    m_historyModel->removeRows(0, m_historyModel->rowCount());
    m_cache.clear();
    m_before->clearFigure();
    m_after->clearFigure();
}

bool CallList::isHexGrid(const QWidget* widget) const {
    return widget && (widget == static_cast<QWidget*>(m_hex[0]) || widget == static_cast<QWidget*>(m_hex[1]));
}

QString CallList::callText(int row) const {
    return row >= 0 && row < m_calls->rowCount() ? m_calls->item(row, 1)->text() : QString();
}

void CallList::setCachedCall(int row, const CachedCall& call) {
    if (row >= 0 && row < m_cache.size()) {
        m_cache[row] = call;
    }
}

int CallList::currentRow() const {
    return m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
}

int CallList::rowCount() const {
    return m_calls->rowCount();
}

void CallList::setCurrentRow(int row) {
    if (row >= 0 && row < m_calls->rowCount()) {
        m_grid->setCurrentIndex(m_calls->index(row, 1));
        m_grid->scrollTo(m_calls->index(row, 1));
    }
}

void CallList::reportError(const char* procedure, const DbError& error) {
    modSystem::WriteErrorLog(QLatin1String(procedure), error.info());
}

void CallList::CreateCallList(qint64 sequenceKey, int restoreRow) {
    const bool wasFilling = m_state.listFilling;
    m_state.listFilling = true;
    m_before->clearFigure();
    m_after->clearFigure();
    try {
        const std::optional<SequenceHeader> found = m_library.sequence(sequenceKey);
        // A sequence that is gone shows an empty header and no calls.
        const SequenceHeader header = found.value_or(SequenceHeader{});
        m_state.currentSequence = header.sequence;
        if (found) {
            m_author->setText(header.author);
            m_level->setText(header.level == QLatin1String("Mainstream") ? QStringLiteral("MS") : header.level);
            m_date->setText(header.date);
            m_time->setText(header.time);
        }
        m_calls->removeRows(0, m_calls->rowCount());
        m_cache.clear();
        QList<QList<QStandardItem*>> rows;
        for (const StoredCall& call : m_library.calls(header)) {
            auto* number = new QStandardItem(QString::number(call.number) + QStringLiteral(". "));
            number->setFlags(Qt::ItemIsEnabled);
            number->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            rows.append(QList<QStandardItem*>{number, new QStandardItem(call.call)});
            m_cache.append(CachedCall{call.note, call.figure, call.hexInfo});
        }
        for (const auto& row : rows) {
            m_calls->appendRow(row);
        }
        if (!rows.isEmpty()) {
            autoSizeCallGrid();
        }
        if (m_calls->rowCount() > 0) {
            int row = restoreRow;
            if (row < 0) {
                row = (m_state.levelIndex >= 0 && m_state.levelIndex < ViewLevelMax)
                          ? m_settings.ViewRow[m_state.levelIndex]
                          : 0;
                if (row < 0) {
                    row = m_calls->rowCount() - 1;
                }
            }
            if (row >= m_calls->rowCount()) {
                row = 0;
            }
            QSignalBlocker block(m_grid->selectionModel());
            m_grid->setCurrentIndex(m_calls->index(row, 1));
            m_grid->scrollTo(m_calls->index(row, 1));
        }
        callRowChanged();
        fillHistory(header);
    } catch (const DbError& error) {
        reportError("frmVornReader.CreateCallList", error);
    }
    Q_EMIT captionChanged();
    m_state.listFilling = wasFilling;
}

void CallList::fillHistory(const SequenceHeader& header) {
    m_historyModel->removeRows(0, m_historyModel->rowCount());
    for (const HistoryRow& row : m_library.history(header)) {
        m_historyModel->appendRow(QList<QStandardItem*>{new QStandardItem(row.callDate),
                                                        new QStandardItem(row.partyName),
                                                        new QStandardItem(QString::number(row.history))});
    }
    if (m_historyModel->rowCount() > 0) {
        m_history->resizeColumnsToContents();
        m_history->scrollToBottom();
    }
}

void CallList::callRowChanged() {
    DisplayCallDetail();
    const int row = currentRow();
    if (!m_state.listFilling && row >= 0 && m_state.levelIndex >= 0 && m_state.levelIndex < ViewLevelMax) {
        m_settings.ViewRow[m_state.levelIndex] = row;
    }
}

void CallList::DisplayCallDetail() {
    const int r = currentRow();
    if (r < 0 || r >= m_cache.size()) {
        return;
    }
    const bool hex = m_settings.HexMode;
    m_notePanel->setText(noCrLf(m_cache[r].note));
    m_settingHex = true;
    if (r > 0) {
        const CachedCall& before = m_cache[r - 1];
        m_before->setFigure(before.figure, before.hexInfo, before.note, hex);
        m_hexModel[0]->setItem(0, 0, new QStandardItem(before.hexInfo));
    } else {
        if (hex) {
            m_before->clearFigure();
        } else {
            m_before->setFigure(modPrint::squaredSetText(), QString(), QString(), false);
        }
        m_hexModel[0]->setItem(0, 0, new QStandardItem(QString()));
    }
    const CachedCall& after = m_cache[r];
    if (r < m_cache.size() - 1 || !after.figure.isEmpty()) {
        m_after->setFigure(after.figure, after.hexInfo, after.note, hex);
    } else if (!hex) {
        m_after->setFigure(modPrint::squaredSetText(), after.hexInfo, after.note, false);
    } else {
        m_after->clearFigure();
    }
    m_hexModel[1]->setItem(0, 0, new QStandardItem(after.hexInfo));
    m_settingHex = false;
    m_hex[0]->setVisible(hex);
    m_hex[1]->setVisible(hex);
}

void CallList::autoSizeCallGrid() {
    m_grid->resizeColumnToContents(0);
    m_grid->resizeRowsToContents();
}

bool CallList::MoveCallRow(int direction) {
    const int row = currentRow();
    const int level = m_state.levelIndex;
    const bool levelOk = level >= 0 && level < ViewLevelMax;
    if (direction >= 0) {
        if (row == m_calls->rowCount() - 1 && m_selection.row() < m_selection.count() - 1) {
            // The next sequence opens at its first call.
            if (levelOk) {
                m_settings.ViewRow[level] = 0;
            }
            return m_selection.step(1);
        }
        return false;
    }
    if (row == 0 && m_selection.row() > 0) {
        // The previous sequence opens at its last call.
        if (levelOk) {
            m_settings.ViewRow[level] = -1;
        }
        return m_selection.step(-1);
    }
    return false;
}

void CallList::validateCallEdit(int row, const QString& text) {
    if (!m_state.writable) {
        return;
    }
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10512));
        m_library.setCallText(m_state.currentSequence, row + 1, text);
    } catch (const DbError& error) {
        reportError("frmVornReader.grdCall_ValidateEdit", error);
    }
}

void CallList::validateHexInfoEdit(int index, const QString& text) {
    const int k = currentRow() + index - 1;
    if (!m_state.writable || k < 0 || k >= m_cache.size()) {
        return;
    }
    m_cache[k].hexInfo = text;
    try {
        const LibraryUndo::Step step(m_library.undo(), modGeneral::LoadTransString(10513));
        m_library.setHexInfo(m_state.currentSequence, k + 1, text);
    } catch (const DbError& error) {
        reportError("frmVornReader.grdHexInfo_ValidateEdit", error);
    }
    DisplayCallDetail();
}

bool CallList::callGridKey(int key, Qt::KeyboardModifiers modifiers) {
    if (m_grid->isEditing()) {
        return false;
    }
    if ((modifiers & Qt::ShiftModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        m_selection.step(key == Qt::Key_Up ? -1 : 1);
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_grid->editCurrent();
        return true;
    case Qt::Key_Left:
        Q_EMIT sequencesFocusRequested();
        return true;
    case Qt::Key_Right:
        if (m_settings.HexMode) {
            m_hex[0]->setFocus();
        }
        return true;
    case Qt::Key_Up:
        return MoveCallRow(-1);
    case Qt::Key_Down:
        return MoveCallRow(1);
    default:
        return false;
    }
}

bool CallList::hexInfoKey(int index, int key) {
    if (m_hex[index]->isEditing()) {
        return false;
    }
    const int row = currentRow();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int k = row + index - 1;
        if (m_state.writable && k >= 0 && k < m_cache.size() && !m_cache[k].figure.isEmpty()) {
            if (m_hexModel[index]->item(0, 0)->text().isEmpty() && k >= 1) {
                m_settingHex = true;
                m_hexModel[index]->item(0, 0)->setText(m_cache[k - 1].hexInfo);
                m_settingHex = false;
            }
            m_hex[index]->setCurrentIndex(m_hexModel[index]->index(0, 0));
            m_hex[index]->editCurrent();
        }
        return true;
    }
    case Qt::Key_Left:
        m_grid->setFocus();
        return true;
    case Qt::Key_Up:
        if (index == 1) {
            m_hex[0]->setFocus();
        } else if (!MoveCallRow(-1) && row > 0) {
            setCurrentRow(row - 1);
        }
        return true;
    case Qt::Key_Down:
        if (index == 0) {
            m_hex[1]->setFocus();
        } else if (!MoveCallRow(1) && row < rowCount() - 1) {
            setCurrentRow(row + 1);
        }
        return true;
    default:
        return false;
    }
}

bool CallList::eventFilter(QObject* watched, QEvent* event) {
    const int hexIndex = watched == m_hex[0] ? 0 : (watched == m_hex[1] ? 1 : -1);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_grid) {
            return callGridKey(key->key(), key->modifiers());
        }
        if (watched == m_history && !m_history->isEditing() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            m_history->editCurrent();
            return true;
        }
        if (hexIndex >= 0) {
            return hexInfoKey(hexIndex, key->key());
        }
        break;
    }
    case QEvent::FocusIn:
        if (hexIndex >= 0) {
            m_state.cellEdit = true;
        } else if (watched == m_grid && rowCount() > 0) {
            DisplayCallDetail();
        }
        break;
    case QEvent::FocusOut:
        m_state.cellEdit = false;
        if (watched == m_grid) {
            m_state.callGridButton = 0;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
