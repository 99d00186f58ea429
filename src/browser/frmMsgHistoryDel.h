#pragma once

#include <QDialog>

class QTableWidget;

// Lists the distinct date-and-party pairs of the chosen sequences' history; OK with a row chosen
// deletes that pair's entries. Row 0 is the header row and cannot be chosen.
class frmMsgHistoryDel : public QDialog {
    Q_OBJECT

public:
    frmMsgHistoryDel(const QList<QPair<QString, QString>>& rows, QWidget* parent = nullptr);

    bool cancelled = true;
    // The chosen pair's index (0 for the first pair), -1 for the header row.
    int chosenRow() const;
    QTableWidget* grid() const { return m_grid; }
    // OK: refused while the header row is current.
    void cmdOK_Click();

private:
    QTableWidget* m_grid;
};
