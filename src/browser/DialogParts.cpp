#include "DialogParts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace DialogParts {

QVBoxLayout* questionLayout(QDialog* dialog, const QString& message) {
    auto* layout = new QVBoxLayout(dialog);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(dialog);
    icon->setObjectName(QStringLiteral("imgQuestion"));
    icon->setPixmap(dialog->style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(message, dialog);
    text->setObjectName(QStringLiteral("lblMessage"));
    text->setWordWrap(true);
    top->addWidget(text, 1);
    layout->addLayout(top);
    return layout;
}

void addOkCancel(QDialog* dialog, QVBoxLayout* layout, const QString& okText, const QString& cancelText,
                 bool& cancelled) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, &cancelled] {
        cancelled = false;
        dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace DialogParts
