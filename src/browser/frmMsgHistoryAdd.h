#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the date and party of a new history entry.
class frmMsgHistoryAdd : public QDialog {
    Q_OBJECT

public:
    frmMsgHistoryAdd(const QString& callDate, const QString& partyName, QWidget* parent = nullptr);

    // True unless the dialog was closed with OK.
    bool cancelled = true;
    QString callDate() const;
    QString partyName() const;

private:
    QLineEdit* m_callDate;
    QLineEdit* m_partyName;
};
