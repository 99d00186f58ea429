#include "frmSearchWord.h"

#include "modGeneral.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, int key, QWidget* parent) {
    auto* result = new QPushButton(modGeneral::LoadTransString(key), parent);
    result->setObjectName(QLatin1String(name));
    result->setAutoDefault(false);
    return result;
}

QLabel* caption(const char* name, int key, QWidget* parent) {
    auto* result = new QLabel(modGeneral::LoadTransString(key), parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

} // namespace

frmSearchWord::frmSearchWord(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSearchWord"));
    setWindowTitle(modGeneral::LoadTransString(20801));
    setModal(false);
    auto* grid = new QGridLayout(this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("txtSearchWord"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("txtReplaceWord"));
    m_replaceLabel = caption("lblTitleReplace", 20812, this);
    m_direction = new QComboBox(this);
    m_direction->setObjectName(QStringLiteral("cboSearchDir"));
    m_direction->addItem(modGeneral::LoadTransString(20814));
    m_direction->addItem(modGeneral::LoadTransString(20815));
    m_direction->setCurrentIndex(0);
    m_matchCase = new QCheckBox(modGeneral::LoadTransString(20821), this);
    m_matchCase->setObjectName(QStringLiteral("chkSplitCase"));

    grid->addWidget(caption("lblTitleSearch", 20811, this), 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(caption("lblTitleDirection", 20813, this), 2, 0);
    grid->addWidget(m_direction, 2, 1);
    grid->addWidget(m_matchCase, 3, 1);

    auto* buttons = new QVBoxLayout;
    QPushButton* next = button("cmdSearchNext", 20822, this);
    next->setDefault(true);
    m_replaceButton = button("cmdReplace", 20824, this);
    m_replaceAllButton = button("cmdReplaceAll", 20826, this);
    m_replaceModeButton = button("cmdReplaceMode", 20825, this);
    QPushButton* cancel = button("cmdCancel", 20823, this);
    for (QPushButton* b : {next, m_replaceButton, m_replaceAllButton, m_replaceModeButton, cancel}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 5, 1);
    grid->setColumnStretch(1, 1);

    connect(next, &QPushButton::clicked, this, &frmSearchWord::searchNext);
    connect(m_replaceButton, &QPushButton::clicked, this, &frmSearchWord::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &frmSearchWord::replaceAll);
    connect(m_replaceModeButton, &QPushButton::clicked, this, [this] { setReplaceMode(true); });
    connect(cancel, &QPushButton::clicked, this, &frmSearchWord::cmdCancel_Click);
    setReplaceMode(false);
}

void frmSearchWord::setReplaceAllowed(bool allowed) {
    m_replaceAllowed = allowed;
    m_replaceModeButton->setEnabled(allowed);
    setReplaceMode(m_replaceMode);
}

void frmSearchWord::setReplaceMode(bool replaceMode) {
    m_replaceMode = replaceMode && m_replaceAllowed;
    for (QWidget* widget : {static_cast<QWidget*>(m_replace), static_cast<QWidget*>(m_replaceLabel),
                            static_cast<QWidget*>(m_replaceButton), static_cast<QWidget*>(m_replaceAllButton)}) {
        widget->setVisible(m_replaceMode);
        widget->setEnabled(m_replaceMode);
    }
    m_replaceModeButton->setVisible(!m_replaceMode);
    adjustSize();
}

QString frmSearchWord::findText() const {
    return m_find->text();
}

QString frmSearchWord::replaceText() const {
    return m_replace->text();
}

int frmSearchWord::compareMode() const {
    return m_matchCase->isChecked() ? 0 : 1;
}

int frmSearchWord::direction() const {
    return m_direction->currentIndex() == 1 ? 1 : 0;
}

void frmSearchWord::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_find->setFocus();
    Q_EMIT activeChanged(true);
}

void frmSearchWord::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    Q_EMIT activeChanged(false);
}

void frmSearchWord::cmdCancel_Click() {
    m_find->clear();
    m_replace->clear();
    hide();
}
