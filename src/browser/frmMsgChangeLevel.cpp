#include "frmMsgChangeLevel.h"

#include "DialogParts.h"
#include "modGeneral.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The level filler's list control over a list widget.
class ListWidgetControl final : public modGeneral::IListControl {
public:
    explicit ListWidgetControl(QListWidget* list) : m_list(list) {}
    void clear() override { m_list->clear(); }
    void addItem(const QString& text, int itemData) override {
        auto* item = new QListWidgetItem(text, m_list);
        item->setData(Qt::UserRole, itemData);
    }
    int count() const override { return m_list->count(); }
    void setListIndex(int index) override { m_list->setCurrentRow(index); }

private:
    QListWidget* m_list;
};

} // namespace

frmMsgChangeLevel::frmMsgChangeLevel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgChangeLevel"));
    setWindowTitle(QStringLiteral("VornReader"));
    QVBoxLayout* layout = DialogParts::questionLayout(this, modGeneral::TransMessage(20701));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstLevel"));
    ListWidgetControl control(m_list);
    modGeneral::CreateVornLevelList(control, QString());
    layout->addWidget(m_list, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(modGeneral::LoadTransString(20791), QDialogButtonBox::ActionRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(modGeneral::LoadTransString(20792), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, &frmMsgChangeLevel::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &frmMsgChangeLevel::cmdOK_Click);
    layout->addWidget(buttons);
}

QString frmMsgChangeLevel::level() const {
    return m_list->currentItem() ? m_list->currentItem()->text() : QString();
}

void frmMsgChangeLevel::cmdOK_Click() {
    if (!m_list->currentItem() || !m_list->currentItem()->isSelected()) {
        return;
    }
    cancelled = false;
    accept();
}
