#include "frmAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(const QString& caption, const QString& version, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(version, this);
    name->setObjectName(QStringLiteral("lblVersion"));
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    name->setFont(font);
    layout->addWidget(name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
