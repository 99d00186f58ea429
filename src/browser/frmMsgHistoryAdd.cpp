#include "frmMsgHistoryAdd.h"

#include "DialogParts.h"
#include "modGeneral.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

frmMsgHistoryAdd::frmMsgHistoryAdd(const QString& callDate, const QString& partyName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgHistoryAdd"));
    setWindowTitle(QStringLiteral("VornReader"));
    QVBoxLayout* layout = DialogParts::questionLayout(this, modGeneral::TransMessage(20301));

    auto* form = new QFormLayout;
    m_callDate = new QLineEdit(callDate, this);
    m_callDate->setObjectName(QStringLiteral("txtCallDate"));
    m_partyName = new QLineEdit(partyName, this);
    m_partyName->setObjectName(QStringLiteral("txtPartyName"));
    m_partyName->setMaxLength(50);
    auto* dateLabel = new QLabel(modGeneral::LoadTransString(20302), this);
    dateLabel->setObjectName(QStringLiteral("lblCallDate"));
    auto* partyLabel = new QLabel(modGeneral::LoadTransString(20303), this);
    partyLabel->setObjectName(QStringLiteral("lblPartyName"));
    form->addRow(dateLabel, m_callDate);
    form->addRow(partyLabel, m_partyName);
    layout->addLayout(form);

    DialogParts::addOkCancel(this, layout, modGeneral::LoadTransString(20391), modGeneral::LoadTransString(20392),
                             cancelled);
    m_partyName->setFocus();
}

QString frmMsgHistoryAdd::callDate() const {
    return m_callDate->text();
}

QString frmMsgHistoryAdd::partyName() const {
    return m_partyName->text();
}
