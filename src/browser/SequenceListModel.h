#pragma once

#include "SequenceListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

class Database;

// The rows of the sequence list: one per sequence of the view level, in the list's sort order.
// Column 0 shows the title with the state icon; hidden column 2 holds OrderNo. The row data
// (Qt::UserRole) is the sequence key.
class SequenceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Row {
        QString title;
        qint64 sequence = 0;
        int property = 0;
        qint64 orderNo = 0;
    };

    static constexpr int ColumnCount = 4;
    static constexpr int TitleColumn = 0;
    static constexpr int OrderColumn = 2;

    explicit SequenceListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // Fills the model from the list query of the view level ("AllLevel" for all), less the
    // sequences the filter "Not called for" leaves out.
    void load(Database& db, const QString& viewLevel, int sequenceSort,
              const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor = std::nullopt);
    void clear();

    const Row& row(int r) const { return m_rows.at(r); }
    qint64 sequenceAt(int r) const { return m_rows.at(r).sequence; }
    // The keys of all rows, in list order.
    QList<qint64> sequences() const;
    // The row of a sequence, or -1 when it is not listed.
    int rowOf(qint64 sequence) const { return m_rowOf.value(sequence, -1); }
    // One state for many rows, announced as one change.
    void setProperties(const QList<int>& rows, int property);
    // Puts the rows in a new order (a permutation of the current rows).
    void reorder(const QList<int>& newOrder);
    // False: titles cannot be edited and rows cannot be dragged (a read-only library); files can
    // still be dropped.
    void setWritable(bool writable) { m_writable = writable; }

Q_SIGNALS:
    // A title edited in the list, for the database.
    void titleEdited(int row, const QString& title);
    // Rows dragged inside the list: the dragged row and the requested position.
    void rowsDropped(int draggedRow, int position);
    // Library files dropped on the list.
    void filesDropped(const QStringList& files);

private:
    void indexRows();
    // Whether a drag's data comes from this list (not another list, copy or program).
    bool isOwnDrag(const QMimeData* data) const;

    QList<Row> m_rows;
    QHash<qint64, int> m_rowOf;
    bool m_writable = false;
};
