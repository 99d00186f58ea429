#pragma once

#include <QList>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The options dialog's controls: each gets its designed name as objectName and its caption from
// its translation key (the design caption when the key has no text).
namespace SettingForm {

QLabel* label(QWidget* parent, const QString& name, int key, const QString& design = {});
QGroupBox* frame(QWidget* parent, const QString& name, int key, const QString& design = {});
QPushButton* button(QWidget* parent, const QString& name, int key);
QRadioButton* option(QWidget* parent, const QString& name, int key, const QString& design = {});
QCheckBox* check(QWidget* parent, const QString& name, int key);
QLineEdit* textBox(QWidget* parent, const QString& name);

// "name(index)", the objectName of a control of an indexed group.
QString indexed(const char* name, int index);

// Checks option index of a group; an index outside the group leaves every option unchecked.
void checkOption(const QList<QRadioButton*>& options, int index);
// The index of the checked option, 0 when none is checked.
int checkedOption(const QList<QRadioButton*>& options);

} // namespace SettingForm
