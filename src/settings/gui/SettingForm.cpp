#include "SettingForm.h"

#include "modGeneral.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Key 0: a control without a translated caption.
QString caption(int key, const QString& design) {
    return key > 0 ? modGeneral::LoadTransString(key, design) : design;
}

template <typename Control> Control* named(Control* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

} // namespace

namespace SettingForm {

QLabel* label(QWidget* parent, const QString& name, int key, const QString& design) {
    return named(new QLabel(caption(key, design), parent), name);
}

QGroupBox* frame(QWidget* parent, const QString& name, int key, const QString& design) {
    return named(new QGroupBox(caption(key, design), parent), name);
}

QPushButton* button(QWidget* parent, const QString& name, int key) {
    auto* result = named(new QPushButton(caption(key, {}), parent), name);
    result->setAutoDefault(false);
    return result;
}

QRadioButton* option(QWidget* parent, const QString& name, int key, const QString& design) {
    return named(new QRadioButton(caption(key, design), parent), name);
}

QCheckBox* check(QWidget* parent, const QString& name, int key) {
    return named(new QCheckBox(caption(key, {}), parent), name);
}

QLineEdit* textBox(QWidget* parent, const QString& name) {
    return named(new QLineEdit(parent), name);
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void checkOption(const QList<QRadioButton*>& options, int index) {
    if (index >= 0 && index < options.size()) {
        options[index]->setChecked(true);
        return;
    }
    // Exclusive options cannot be unchecked one by one; the group is opened for the moment.
    for (QRadioButton* option : options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

int checkedOption(const QList<QRadioButton*>& options) {
    for (int i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked()) {
            return i;
        }
    }
    return 0;
}

} // namespace SettingForm
