#pragma once

#include "LibraryHistory.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QSortFilterProxyModel;
class QTableView;

// The library's history per party: the sequences each party heard (level, created, title), how
// often and when last; one party or all of them, sorted by any column. Its spreadsheet button
// hands the rows as shown, with the header, to whoever writes them.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    enum Column { PartyColumn, LevelColumn, CreatedColumn, TitleColumn, TimesColumn, LastColumn, ColumnCount };

    frmHistory(const QList<HeardSequence>& rows, const QStringList& parties, QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    QComboBox* parties() const { return m_party; }
    // The column captions and the shown rows' texts, in the shown order.
    QStringList header() const;
    QList<QStringList> shownRows() const;

    std::function<void(const QStringList& header, const QList<QStringList>& rows)> onExcelOut;

private:
    QComboBox* m_party;
    QTableView* m_table;
    QSortFilterProxyModel* m_shown;
};
