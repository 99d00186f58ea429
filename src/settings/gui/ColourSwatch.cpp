#include "ColourSwatch.h"

#include "ColourMap.h"
#include "SettingText.h"

#include <QApplication>
#include <QPainter>

ColourSwatch::ColourSwatch(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFixedSize(sizeHint());
    setColour(0);
}

void ColourSwatch::setColour(quint32 colour) {
    m_tag = SettingText::colourText(colour);
    update();
}

quint32 ColourSwatch::colour() const {
    return SettingText::colourValue(m_tag).value_or(0);
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(ColourMap::toColor(colour(), QApplication::palette()));
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}
