#include "DialogParts.h"

#include <QDialog>
#include <QLabel>
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

} // namespace DialogParts
