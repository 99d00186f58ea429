#include "PreviewPage.h"

#include <QPaintEvent>
#include <QPainter>

PreviewPage::PreviewPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPage::setPage(const QPicture& picture, const QSizeF& pageSize) {
    m_picture = picture;
    m_pageSize = pageSize;
    update();
}

void PreviewPage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (m_pageSize.width() > 0 && m_pageSize.height() > 0 && !m_picture.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(width() / m_pageSize.width(), height() / m_pageSize.height());
        painter.drawPicture(0, 0, m_picture);
        painter.restore();
    }
    painter.setPen(Qt::gray);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
