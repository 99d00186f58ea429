#include "KeysPage.h"

#include "KeyCodeConvert.h"
#include "SettingForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kListSize = 50;

// The design captions of the player keys' labels, records 4 to 10.
const char* const kPlayerCaptions[] = {"&Load", "&UnLoad", "&Play", "&Repeat", "Re&wind", "&TipTimer", "Re&set"};

} // namespace

KeysPage::KeysPage(QWidget* parent) : QWidget(parent) {
    using namespace SettingForm;
    const QStringList texts = keyTexts();
    for (int i = 0; i < KeyTableSize; ++i) {
        m_keys[i] = new QComboBox(this);
        m_keys[i]->setObjectName(indexed("cboCustomKey", i));
        m_keys[i]->addItems(texts);
        m_keys[i]->setMaxVisibleItems(20);
        m_keys[i]->setMinimumContentsLength(8);
    }
    const auto addRow = [this](QGridLayout* grid, QLabel* caption, int record) {
        const int row = grid->rowCount();
        caption->setBuddy(m_keys[record]);
        grid->addWidget(caption, row, 0);
        grid->addWidget(m_keys[record], row, 1);
    };

    QGroupBox* cursor = frame(this, QStringLiteral("fraCursorAllow"), 21110);
    auto* cursorGrid = new QGridLayout(cursor);
    addRow(cursorGrid, label(cursor, QStringLiteral("lblUpArrow"), 21111, QStringLiteral("Up")), 0);
    addRow(cursorGrid, label(cursor, QStringLiteral("lblLeftArrow"), 21112, QStringLiteral("Left")), 1);
    addRow(cursorGrid, label(cursor, QStringLiteral("lblDownArrow"), 21114, QStringLiteral("Down")), 2);
    addRow(cursorGrid, label(cursor, QStringLiteral("lblRightArrow"), 21113, QStringLiteral("Right")), 3);

    QGroupBox* player = frame(this, QStringLiteral("fraVornMP"), 21120, QStringLiteral("Vorn Music Player との連携"));
    auto* playerGrid = new QGridLayout(player);
    for (int i = 0; i < 7; ++i) {
        auto* caption = new QLabel(QLatin1String(kPlayerCaptions[i]), player);
        caption->setObjectName(indexed("lblKeyVornMP", i));
        addRow(playerGrid, caption, 4 + i);
    }

    QGroupBox* other = frame(this, QStringLiteral("fraOtherKeys"), 21140);
    auto* otherGrid = new QGridLayout(other);
    addRow(otherGrid, label(other, QStringLiteral("lblKeyTimerSwitch"), 21141), 11);
    addRow(otherGrid, label(other, QStringLiteral("lblKeyCallHistory"), 21142), 12);
    addRow(otherGrid, label(other, QStringLiteral("lblKeyOpenerSkip"), 21143), 13);

    for (QGroupBox* box : {cursor, player, other}) {
        static_cast<QGridLayout*>(box->layout())->setColumnStretch(1, 1);
    }
    auto* left = new QVBoxLayout;
    left->addWidget(cursor);
    left->addWidget(other);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(player);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
}

QStringList KeysPage::keyTexts() {
    QStringList texts{QString()};
    for (const QChar digit : QStringLiteral("1234567890")) {
        texts.append(QString(digit));
    }
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        texts.append(QString(QLatin1Char(letter)));
    }
    texts.append(QStringLiteral("{Space}"));
    for (int f = 1; f <= 12; ++f) {
        texts.append(QStringLiteral("{F%1}").arg(f));
    }
    return texts;
}

void KeysPage::fill(const std::array<KeyAssignment, KeyTableSize>& keys) {
    for (int i = 0; i < KeyTableSize; ++i) {
        QComboBox* list = m_keys[i];
        while (list->count() > kListSize) {
            list->removeItem(list->count() - 1);
        }
        int index = list->findText(keys[i].Text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0) {
            list->addItem(keys[i].Text);
            index = list->count() - 1;
        }
        list->setCurrentIndex(index);
    }
}

void KeysPage::readBack(std::array<KeyAssignment, KeyTableSize>& keys) const {
    for (int i = 0; i < KeyTableSize; ++i) {
        keys[i].Text = m_keys[i]->currentText();
        keys[i].Count = modGeneral::KeyCodeConvert(keys[i].Text, keys[i].Codes);
    }
}
