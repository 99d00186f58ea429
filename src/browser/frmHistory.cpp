#include "frmHistory.h"

#include "modGeneral.h"
#include "modGraphics.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kCaptionKey = 22201;
// Sorts by the stored value: the count as a number, dates and times as text.
constexpr int kSortRole = Qt::UserRole;

class HeardModel final : public QAbstractTableModel {
public:
    HeardModel(const QList<HeardSequence>& rows, QObject* parent) : QAbstractTableModel(parent), m_rows(rows) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : frmHistory::ColumnCount;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return modGeneral::LoadTransString(kCaptionKey + section);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != kSortRole)) {
            return {};
        }
        const HeardSequence& row = m_rows.at(index.row());
        switch (index.column()) {
        case frmHistory::PartyColumn:
            return row.partyName;
        case frmHistory::LevelColumn:
            return row.level;
        case frmHistory::CreatedColumn:
            return row.date + QLatin1Char(' ') + row.time;
        case frmHistory::TitleColumn:
            return modGraphics::RemoveMarkup(row.title);
        case frmHistory::TimesColumn:
            return role == kSortRole ? QVariant(row.times) : QVariant(QString::number(row.times));
        case frmHistory::LastColumn:
            return row.lastCalled;
        default:
            return {};
        }
    }
    const QString& party(int row) const { return m_rows.at(row).partyName; }

private:
    QList<HeardSequence> m_rows;
};

// The rows of one party, or of all when none is chosen.
class PartyRows final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setParty(const std::optional<QString>& party) {
        m_party = party;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return !m_party || static_cast<const HeardModel*>(sourceModel())->party(row) == *m_party;
    }

private:
    std::optional<QString> m_party;
};

} // namespace

frmHistory::frmHistory(const QList<HeardSequence>& rows, const QStringList& parties, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(modGeneral::LoadTransString(22200));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* partyLabel = new QLabel(modGeneral::LoadTransString(22102), this);
    m_party = new QComboBox(this);
    m_party->setObjectName(QStringLiteral("cboPartyName"));
    partyLabel->setBuddy(m_party);
    m_party->addItem(modGeneral::LoadTransString(22207), QVariant());
    for (const QString& party : parties) {
        m_party->addItem(party, party);
    }
    top->addWidget(partyLabel);
    top->addWidget(m_party, 1);
    layout->addLayout(top);

    auto* source = new HeardModel(rows, this);
    auto* shown = new PartyRows(this);
    shown->setSourceModel(source);
    shown->setSortRole(kSortRole);
    m_shown = shown;
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("grdHeardList"));
    m_table->setModel(shown);
    // The rows come in the library's order until a click on a header sorts them; set before
    // sorting is enabled, which would otherwise sort by the first column at once.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    layout->addWidget(m_table, 1);

    auto* buttons = new QHBoxLayout;
    auto* excel = new QPushButton(modGeneral::LoadTransString(22208), this);
    excel->setObjectName(QStringLiteral("cmdExcelOut"));
    auto* close = new QPushButton(modGeneral::LoadTransString(22209), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addStretch(1);
    buttons->addWidget(excel);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_party, &QComboBox::currentIndexChanged, this, [this, shown] {
        const QVariant party = m_party->currentData();
        shown->setParty(party.isNull() ? std::nullopt : std::optional<QString>(party.toString()));
    });
    connect(excel, &QPushButton::clicked, this, [this] {
        if (onExcelOut) {
            onExcelOut(header(), shownRows());
        }
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(900, 560);
}

QStringList frmHistory::header() const {
    QStringList captions;
    for (int c = 0; c < ColumnCount; ++c) {
        captions.append(m_shown->headerData(c, Qt::Horizontal).toString());
    }
    return captions;
}

QList<QStringList> frmHistory::shownRows() const {
    QList<QStringList> rows;
    rows.reserve(m_shown->rowCount());
    for (int r = 0; r < m_shown->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < ColumnCount; ++c) {
            row.append(m_shown->index(r, c).data().toString());
        }
        rows.append(row);
    }
    return rows;
}
