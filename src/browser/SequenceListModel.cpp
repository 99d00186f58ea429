#include "SequenceListModel.h"

#include "Database.h"
#include "SequenceListQuery.h"
#include "StateIcons.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace {

const QString kRowMime = QStringLiteral("application/x-vornreader-sequence-row");

// The drag's origin: this process and this model.
QByteArray originOf(const SequenceListModel* model) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(model)) + ':';
}

} // namespace

SequenceListModel::SequenceListModel(QObject* parent) : QAbstractTableModel(parent) {}

int SequenceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SequenceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SequenceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const Row& r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == TitleColumn) {
            return r.title;
        }
        if (index.column() == OrderColumn) {
            return r.orderNo;
        }
        return {};
    case Qt::DecorationRole:
        return index.column() == TitleColumn ? QVariant(StateIcons::image(r.property + 4)) : QVariant();
    case Qt::UserRole:
        return r.sequence;
    default:
        return {};
    }
}

Qt::ItemFlags SequenceListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_writable) {
        result |= Qt::ItemIsDragEnabled;
        if (index.column() == TitleColumn) {
            result |= Qt::ItemIsEditable;
        }
    }
    return result;
}

bool SequenceListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_writable || role != Qt::EditRole || index.column() != TitleColumn || index.row() >= m_rows.size()) {
        return false;
    }
    m_rows[index.row()].title = value.toString();
    Q_EMIT dataChanged(index, index);
    Q_EMIT titleEdited(index.row(), value.toString());
    return true;
}

Qt::DropActions SequenceListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList SequenceListModel::mimeTypes() const {
    return {kRowMime, QStringLiteral("text/uri-list")};
}

QMimeData* SequenceListModel::mimeData(const QModelIndexList& indexes) const {
    auto* data = new QMimeData;
    // The row the drag started on, after the list it started in; the selected rows move with it.
    data->setData(kRowMime, originOf(this) + QByteArray::number(indexes.isEmpty() ? -1 : indexes.front().row()));
    return data;
}

bool SequenceListModel::isOwnDrag(const QMimeData* data) const {
    return data->hasFormat(kRowMime) && data->data(kRowMime).startsWith(originOf(this));
}

bool SequenceListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex&) const {
    return (m_writable && isOwnDrag(data)) || data->hasUrls();
}

bool SequenceListModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int, const QModelIndex& parent) {
    if (data->hasUrls()) {
        QStringList files;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                files.append(url.toLocalFile());
            }
        }
        if (!files.isEmpty()) {
            Q_EMIT filesDropped(files);
        }
        return false;
    }
    if (!m_writable || !isOwnDrag(data)) {
        return false;
    }
    const int dragged = data->data(kRowMime).mid(originOf(this).size()).toInt();
    int position = row >= 0 ? row : (parent.isValid() ? parent.row() : static_cast<int>(m_rows.size()));
    if (dragged >= 0) {
        Q_EMIT rowsDropped(dragged, position);
    }
    // The list moves the rows itself; the view must not remove any.
    return false;
}

void SequenceListModel::load(Database& db, const QString& viewLevel, int sequenceSort,
                             const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor) {
    beginResetModel();
    m_rows.clear();
    Statement list = SequenceListQuery::prepare(db, viewLevel, sequenceSort, notCalledFor);
    while (list.step()) {
        m_rows.append({list.text(0), list.int64(5), list.integer(3), list.int64(4)});
    }
    indexRows();
    endResetModel();
}

void SequenceListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_rowOf.clear();
    endResetModel();
}

void SequenceListModel::indexRows() {
    m_rowOf.clear();
    m_rowOf.reserve(m_rows.size());
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        m_rowOf.insert(m_rows[r].sequence, static_cast<int>(r));
    }
}

QList<qint64> SequenceListModel::sequences() const {
    QList<qint64> keys;
    keys.reserve(m_rows.size());
    for (const Row& r : m_rows) {
        keys.append(r.sequence);
    }
    return keys;
}

void SequenceListModel::setProperties(const QList<int>& rows, int property) {
    if (rows.isEmpty()) {
        return;
    }
    for (const int r : rows) {
        m_rows[r].property = property;
    }
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    Q_EMIT dataChanged(index(*first, TitleColumn), index(*last, TitleColumn), {Qt::DecorationRole});
}

void SequenceListModel::reorder(const QList<int>& newOrder) {
    Q_EMIT layoutAboutToBeChanged();
    QList<Row> rows;
    rows.reserve(newOrder.size());
    for (const int r : newOrder) {
        rows.append(m_rows[r]);
    }
    m_rows = rows;
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        m_rows[r].orderNo = r + 1;
    }
    indexRows();
    // Persistent indexes follow their rows.
    QList<int> newRowOf(newOrder.size());
    for (qsizetype r = 0; r < newOrder.size(); ++r) {
        newRowOf[newOrder[r]] = static_cast<int>(r);
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before) {
        after.append(this->index(newRowOf.value(index.row()), index.column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}
