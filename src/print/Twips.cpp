#include "Twips.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>

namespace Twips {

double perPixelX(const QPaintDevice& device) {
    const int dpi = device.logicalDpiX();
    return dpi > 0 ? PerInch / dpi : 15.0;
}

double perPixelY(const QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    return dpi > 0 ? PerInch / dpi : 15.0;
}

float screenPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || screen->logicalDotsPerInchX() <= 0) {
        return 15.0f;
    }
    return static_cast<float>(PerInch / screen->logicalDotsPerInchX());
}

void setTwipsTransform(QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr) {
        return;
    }
    painter.scale(1.0 / perPixelX(*device), 1.0 / perPixelY(*device));
}

} // namespace Twips
