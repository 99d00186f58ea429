#include "frmNotCalledFor.h"

#include "DialogParts.h"
#include "Settings.h"
#include "modGeneral.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

frmNotCalledFor::frmNotCalledFor(const QStringList& parties, const NotCalledChoice& proposed, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmNotCalledFor"));
    setWindowTitle(QStringLiteral("VornReader"));
    QVBoxLayout* layout = DialogParts::questionLayout(this, modGeneral::LoadTransString(22101));

    auto* form = new QFormLayout;
    m_party = new QComboBox(this);
    m_party->setObjectName(QStringLiteral("cboPartyName"));
    // Item data: the party name, or nothing for any party (a party may be called "").
    m_party->addItem(modGeneral::LoadTransString(22104), QVariant());
    for (const QString& party : parties) {
        m_party->addItem(party, party);
    }
    if (proposed.party) {
        const int at = m_party->findData(*proposed.party);
        m_party->setCurrentIndex(at >= 0 ? at : 0);
    }
    m_weeks = new QSpinBox(this);
    m_weeks->setObjectName(QStringLiteral("txtWeeks"));
    m_weeks->setRange(1, NotCalledWeeksMax);
    m_weeks->setValue(proposed.weeks);
    auto* partyLabel = new QLabel(modGeneral::LoadTransString(22102), this);
    partyLabel->setObjectName(QStringLiteral("lblPartyName"));
    partyLabel->setBuddy(m_party);
    auto* weeksLabel = new QLabel(modGeneral::LoadTransString(22103), this);
    weeksLabel->setObjectName(QStringLiteral("lblWeeks"));
    weeksLabel->setBuddy(m_weeks);
    form->addRow(partyLabel, m_party);
    form->addRow(weeksLabel, m_weeks);
    layout->addLayout(form);

    DialogParts::addOkCancel(this, layout, modGeneral::LoadTransString(22191), modGeneral::LoadTransString(22192),
                             cancelled);
    m_party->setFocus();
}

NotCalledChoice frmNotCalledFor::choice() const {
    const QVariant party = m_party->currentData();
    return {party.isNull() ? std::nullopt : std::optional<QString>(party.toString()), m_weeks->value()};
}
