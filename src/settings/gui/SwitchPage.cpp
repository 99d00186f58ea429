#include "SwitchPage.h"

#include "SettingForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

SwitchPage::SwitchPage(QWidget* parent) : QWidget(parent) {
    using namespace SettingForm;
    QGroupBox* box = frame(this, QStringLiteral("fraFuncSwitch"), 21410);
    auto* tabs = new QTabWidget(box);
    tabs->setObjectName(QStringLiteral("tabDBSwitch"));
    const QString tabCaptions[] = {QStringLiteral("Normal "), QStringLiteral("Shift "), QStringLiteral("Ctrl ")};
    for (int tab = 0; tab < 3; ++tab) {
        auto* page = new QWidget(tabs);
        auto* grid = new QGridLayout(page);
        for (int row = 0; row < 9; ++row) {
            const int index = tab * 9 + row;
            auto* key = new QLabel(QStringLiteral("F%1").arg(row + 1), page);
            key->setObjectName(indexed("lblFuncSwitch", index));
            m_paths[index] = textBox(page, indexed("txtFuncFile", index));
            key->setBuddy(m_paths[index]);
            QPushButton* browse = button(page, indexed("cmdFileBrowse", index), 21911);
            connect(browse, &QPushButton::clicked, this, [this, index] { Q_EMIT browseRequested(index); });
            grid->addWidget(key, row, 0);
            grid->addWidget(m_paths[index], row, 1);
            grid->addWidget(browse, row, 2);
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(9, 1);
        tabs->addTab(page, tabCaptions[tab]);
    }
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(tabs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
}

void SwitchPage::fill(const std::array<QString, FuncFileCount>& paths) {
    for (int i = 0; i < FuncFileCount; ++i) {
        m_paths[i]->setText(paths[i]);
        m_paths[i]->setCursorPosition(0);
    }
}

void SwitchPage::readBack(std::array<QString, FuncFileCount>& paths) const {
    for (int i = 0; i < FuncFileCount; ++i) {
        paths[i] = m_paths[i]->text().trimmed();
    }
}

void SwitchPage::setPath(int index, const QString& path) {
    if (index >= 0 && index < FuncFileCount) {
        m_paths[index]->setText(path);
    }
}
