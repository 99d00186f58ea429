#include "frmMsgHistoryAdd.h"

#include "DialogParts.h"
#include "modGeneral.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(modGeneral::LoadTransString(20391), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(modGeneral::LoadTransString(20392), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, [this] {
        cancelled = false;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_partyName->setFocus();
}

QString frmMsgHistoryAdd::callDate() const {
    return m_callDate->text();
}

QString frmMsgHistoryAdd::partyName() const {
    return m_partyName->text();
}
