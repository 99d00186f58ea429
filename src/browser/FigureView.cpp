#include "FigureView.h"

#include "PainterSurface.h"
#include "Twips.h"
#include "modPrint.h"

#include <QPainter>

FigureView::FigureView(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumHeight(120);
}

void FigureView::setFigure(const QString& figureText, const QString& hexInfo, const QString& note, bool hexMode) {
    m_figure = figureText;
    m_hexInfo = hexInfo;
    m_note = note;
    m_hexMode = hexMode;
    m_shown = true;
    update();
}

void FigureView::clearFigure() {
    m_shown = false;
    m_figure.clear();
    update();
}

void FigureView::paintEvent(QPaintEvent*) {
    if (!m_shown) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::Text));
    Twips::setTwipsTransform(painter);
    const double perPixel = Twips::perPixelX(*this);
    PainterSurface surface(painter, QRectF(0, 0, width() * perPixel, height() * Twips::perPixelY(*this)));
    surface.setForeColor(palette().color(QPalette::Text));
    double boxWidth = 0;
    double boxHeight = 0;
    modPrint::DrawFigure(surface, m_figure, true, 0, 0, boxWidth, boxHeight, false, m_hexMode, m_hexInfo, m_note,
                         static_cast<float>(perPixel));
}
