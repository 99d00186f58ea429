#include "frmSetting.h"

#include "DisplayPage.h"
#include "KeysPage.h"
#include "OtherPage.h"
#include "SettingChoosers.h"
#include "SettingForm.h"
#include "Settings.h"
#include "SwitchPage.h"
#include "modGeneral.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

frmSetting::frmSetting(ISettingChoosers* choosers, QWidget* parent)
    : QDialog(parent), m_ownChoosers(choosers ? nullptr : std::make_unique<SettingChoosers>(this)),
      m_choosers(choosers ? choosers : m_ownChoosers.get()) {
    using namespace SettingForm;
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(modGeneral::LoadTransString(21000));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabSetting"));
    m_keys = new KeysPage(m_tabs);
    m_switch = new SwitchPage(m_tabs);
    m_display = new DisplayPage(*m_choosers, m_tabs);
    m_other = new OtherPage(m_tabs);
    m_tabs->addTab(m_keys, modGeneral::LoadTransString(21100));
    m_tabs->addTab(m_switch, modGeneral::LoadTransString(21400));
    m_tabs->addTab(m_display, modGeneral::LoadTransString(21200));
    m_tabs->addTab(m_other, modGeneral::LoadTransString(21300));
    connect(m_switch, &SwitchPage::browseRequested, this, &frmSetting::cmdFileBrowse_Click);

    QGroupBox* place = frame(this, QStringLiteral("fraSettingSwitch"), 21920);
    auto* placeLayout = new QHBoxLayout(place);
    m_settingSwitch = {option(place, indexed("optSettingSwitch", 0), 21921, QStringLiteral("VornReader.ini")),
                       option(place, indexed("optSettingSwitch", 1), 21922)};
    for (QRadioButton* choice : std::as_const(m_settingSwitch)) {
        placeLayout->addWidget(choice);
    }
    placeLayout->addStretch(1);

    QPushButton* ok = button(this, QStringLiteral("cmdOK"), 21901);
    QPushButton* cancel = button(this, QStringLiteral("cmdCancel"), 21902);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmSetting::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmSetting::cmdCancel_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(place, 1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);
    bottom->addWidget(cancel, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);
}

frmSetting::~frmSetting() = default;

bool frmSetting::edit(Settings& settings) {
    fill(settings);
    exec();
    if (Cancelled) {
        return false;
    }
    readBack(settings);
    return true;
}

void frmSetting::fill(const Settings& settings) {
    SettingForm::checkOption(m_settingSwitch, settings.SettingSwitch);
    m_switch->fill(settings.FuncFile);
    m_keys->fill(settings.keyTable);
    m_other->fill(settings);
    m_display->fill(settings);
    m_mdbPath = settings.MdbPath;
}

void frmSetting::readBack(Settings& settings) const {
    settings.SettingSwitch = m_settingSwitch[0]->isChecked() ? 0 : 1;
    m_switch->readBack(settings.FuncFile);
    m_keys->readBack(settings.keyTable);
    m_other->readBack(settings);
    m_display->readBack(settings);
}

void frmSetting::showEvent(QShowEvent* event) {
    m_tabs->setCurrentIndex(0);
    Cancelled = true;
    QDialog::showEvent(event);
}

void frmSetting::cmdOK_Click() {
    // A history date that is no date is refused before anything is taken over.
    if (!m_other->callDate().isValid()) {
        m_choosers->exclamation(modGeneral::TransMessage(40123, {m_other->callDateBox()->text()}));
        m_tabs->setCurrentWidget(m_other);
        m_other->callDateBox()->setFocus();
        m_other->callDateBox()->selectAll();
        return;
    }
    Cancelled = false;
    accept();
}

void frmSetting::cmdCancel_Click() {
    Cancelled = true;
    reject();
}

void frmSetting::cmdFileBrowse_Click(int index) {
    if (const std::optional<QString> path =
            m_choosers->chooseFile(modGeneral::LoadTransString(30101), m_mdbPath, modGeneral::LoadTransString(30111))) {
        m_switch->setPath(index, *path);
    }
}
