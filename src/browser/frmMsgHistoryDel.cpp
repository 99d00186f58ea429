#include "frmMsgHistoryDel.h"

#include "DialogParts.h"
#include "modGeneral.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

frmMsgHistoryDel::frmMsgHistoryDel(const QList<QPair<QString, QString>>& rows, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgHistoryDel"));
    setWindowTitle(QStringLiteral("VornReader"));
    QVBoxLayout* layout = DialogParts::questionLayout(this, modGeneral::TransMessage(20601));

    // The first row is the header row, as a grid with one fixed row shows it.
    m_grid = new QTableWidget(static_cast<int>(rows.size()) + 1, 2, this);
    m_grid->setObjectName(QStringLiteral("grdHistory"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < 2; ++column) {
        auto* header = new QTableWidgetItem(modGeneral::LoadTransString(20602 + column));
        QFont bold = header->font();
        bold.setBold(true);
        header->setFont(bold);
        m_grid->setItem(0, column, header);
    }
    for (int r = 0; r < rows.size(); ++r) {
        m_grid->setItem(r + 1, 0, new QTableWidgetItem(rows[r].first));
        m_grid->setItem(r + 1, 1, new QTableWidgetItem(rows[r].second));
    }
    m_grid->resizeColumnsToContents();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setCurrentCell(m_grid->rowCount() - 1, 0);
    m_grid->scrollToBottom();
    layout->addWidget(m_grid, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(modGeneral::LoadTransString(20691), QDialogButtonBox::ActionRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(modGeneral::LoadTransString(20692), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, &frmMsgHistoryDel::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_grid->setFocus();
}

int frmMsgHistoryDel::chosenRow() const {
    return m_grid->currentRow() - 1;
}

void frmMsgHistoryDel::cmdOK_Click() {
    if (m_grid->currentRow() <= 0) {
        QMessageBox::warning(this, modGeneral::LoadTransString(20681), modGeneral::TransMessage(20682));
        return;
    }
    cancelled = false;
    accept();
}
